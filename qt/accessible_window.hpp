#pragma once

class QWidget;

namespace qmz {

// Makes screen readers present window as an application's main window: role Window, a "frame" to
// AT-SPI, which is what desktop screen readers look for in a program's top-level window. Qt would
// present a plain widget as a client area, a "filler". Called before anything asks about the window.
void MarkAsAccessibleWindow(QWidget& window);

}  // namespace qmz
