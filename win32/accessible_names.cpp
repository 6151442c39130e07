#include "win32/accessible_names.hpp"

#include <oleacc.h>

#include <iterator>

#include "win32/wide_text.hpp"

namespace qmz {
namespace {

// The annotated object of a control: its client area as a whole, as the system's proxy gives it.
constexpr DWORD AnnotatedObject = static_cast<DWORD>(OBJID_CLIENT);

class DynamicAnnotation final : public AccessibleAnnotation {
public:
    DynamicAnnotation() {
        void* services = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                       &services))) {
            services_ = static_cast<IAccPropServices*>(services);
        }
    }
    ~DynamicAnnotation() override {
        if (services_ != nullptr) {
            services_->Release();
        }
    }
    DynamicAnnotation(const DynamicAnnotation&) = delete;
    DynamicAnnotation& operator=(const DynamicAnnotation&) = delete;

    void SetText(HWND control, AccessibleText property, const std::wstring& value) override {
        if (services_ != nullptr) {
            services_->SetHwndPropStr(control, AnnotatedObject, CHILDID_SELF,
                                      property == AccessibleText::Name ? PROPID_ACC_NAME : PROPID_ACC_DESCRIPTION,
                                      value.c_str());
        }
    }

    void SetLinkRole(HWND control) override {
        if (services_ != nullptr) {
            VARIANT role{};
            role.vt = VT_I4;
            role.lVal = ROLE_SYSTEM_LINK;
            services_->SetHwndProp(control, AnnotatedObject, CHILDID_SELF, PROPID_ACC_ROLE, role);
        }
    }

    void Clear(HWND control) override {
        if (services_ != nullptr) {
            const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION, PROPID_ACC_ROLE};
            services_->ClearHwndProps(control, AnnotatedObject, CHILDID_SELF, properties,
                                     static_cast<int>(std::size(properties)));
        }
    }

private:
    IAccPropServices* services_ = nullptr;
};

}  // namespace

void AnnotateControls(AccessibleAnnotation& annotation, std::span<const HWND> controls,
                      const FormDescription& description) {
    for (std::size_t i = 0; i < controls.size() && i < description.controls.size(); ++i) {
        const ControlDescription& control = description.controls[i];
        const std::string_view name = control.accessibleName.empty() ? control.caption : control.accessibleName;
        annotation.SetText(controls[i], AccessibleText::Name, WideFromUtf8(name));
        if (!control.accessibleDescription.empty()) {
            annotation.SetText(controls[i], AccessibleText::Description, WideFromUtf8(control.accessibleDescription));
        }
        if (control.onClick == ClickAction::SiteLink) {
            annotation.SetLinkRole(controls[i]);
        }
    }
}

std::unique_ptr<AccessibleAnnotation> SystemAccessibleAnnotation() {
    return std::make_unique<DynamicAnnotation>();
}

}  // namespace qmz
