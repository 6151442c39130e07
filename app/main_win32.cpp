#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "shell/open_link.hpp"
#include "win32/form.hpp"

namespace {

// The shell's documentation asks callers of ShellExecute to initialise COM on their thread, as
// some handlers it starts are COM objects.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine: none is read*/, int showCommand) {
    const ComApartment com;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    qmz::LinkHandoff handoff;
    // A lambda holding one reference fits in the opener itself: handing it over needs no memory.
    return qmz::RunMainWindow(qmz::MainForm(), [&handoff](auto&&... request) { handoff.Open(request...); }, showCommand);
}
