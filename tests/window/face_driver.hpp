// One face's real window under test, driven as its runtime and a user meet it: offscreen on Qt,
// under Wine on Win32. The cases every face shares (form_test.cpp) see only this; each face's
// file (face_qt_test.cpp, face_win32_test.cpp) makes it and adds what only that face has.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "window/actions.hpp"
#include "window/form_runtime.hpp"

namespace qmz::testing_support {

struct DevicePlace {
    double left, top, width, height;
};

class FaceDriver {
public:
    virtual ~FaceDriver() = default;
    virtual FormRuntime& Form() = 0;
    // A left click on the named control, with everything it sets off handled.
    virtual void Click(std::string_view control) = 0;
    // The text of every message box shown over the window so far; each was answered.
    virtual std::vector<std::string> Messages() const = 0;
    // Where the named control (or the form's own name: its client area) stands, in device pixels,
    // at Dpi(); and how far from the exact place a face may round it.
    virtual DevicePlace Place(std::string_view control) const = 0;
    virtual double Dpi() const = 0;
    virtual double Rounding() const = 0;
    // Tells the window that it now stands on a screen of dpi dots per inch, as the system tells
    // it; false where the toolkit scales the window itself.
    virtual bool MoveToDensity(int dpi) = 0;
};

// The window of the face this test program is built for, with opener behind its clicks.
std::unique_ptr<FaceDriver> StartFace(LinkOpener opener);

}  // namespace qmz::testing_support
