// One face's real window under test, driven as its runtime and a user meet it: offscreen on Qt,
// under Wine on Win32. The cases every face shares (form_test.cpp) see only this; each face's
// file (face_qt_test.cpp, face_win32_test.cpp) makes it and adds what only that face has.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "window/actions.hpp"
#include "window/form_runtime.hpp"

namespace qmz::testing_support {

// How a text comes into the page-link box: a paste by keys or by the middle button (the X
// selection), a drop, an input method's commit and a screen reader's insertion, all at the cursor;
// and a screen reader's setting of the text and Get Link's write, in place of the whole text.
enum class WayIn { PasteKeys, MiddleButton, Drop, InputMethod, ReaderInsert, ReaderSet, Write, End };
// How the whole text leaves it, selected first where that takes a selection: copied or cut by keys,
// into the X selection, copied or cut by a screen reader, and read by the actions.
enum class WayOut { CopyKeys, CutKeys, XSelection, ReaderCopy, ReaderCut, Read, End };
enum class BoxKey { Undo, Redo };

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
    // The box's cursor at offset at, nothing selected.
    virtual void PlaceCursor(int at) = 0;
    // Brings text into the box, through the clipboard where the way takes it from there; false
    // where the face has no such way.
    virtual bool Bring(WayIn way, TextView text) = 0;
    // The text that leaves the box; none where the face has no such way.
    virtual std::optional<Text> TakeOut(WayOut way) = 0;
    virtual void PressInBox(BoxKey key) = 0;
    // The bytes the process's heap holds in use; none where a sanitizer's allocator hides them.
    virtual std::optional<std::size_t> HeapInUse() const = 0;
};

// size characters (five million, ten megabytes, unless asked) that a box might take for its own:
// a "…" at each end and in the middle, and 200 characters of two code units after the first and
// before the last, so that a cut near either end to show the text falls between the two units of
// a character at every other offset. Those characters (tag letters) take no room, so that a box
// shows as many of them as it takes.
Text LongText(std::size_t size = 5'000'000);

// The window of the face this test program is built for, with opener behind its clicks.
std::unique_ptr<FaceDriver> StartFace(LinkOpener opener);

}  // namespace qmz::testing_support
