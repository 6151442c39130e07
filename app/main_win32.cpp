#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <functional>

#include "shell/open_link.hpp"
#include "win32/form.hpp"
#include "win32/wide_text.hpp"

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
    try {
        qmz::LinkHandoff handoff;
        qmz::Win32Form form(qmz::MainForm(), std::bind_front(&qmz::LinkHandoff::Open, &handoff));
        form.Show(showCommand);
        return qmz::RunMessageLoop(form);
    } catch (const std::exception& error) {
        MessageBoxW(nullptr, qmz::WideFromUtf8(error.what()).c_str(), L"QMZ", MB_OK | MB_ICONERROR);
        return 1;
    }
}
