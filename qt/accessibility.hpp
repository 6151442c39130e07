#pragma once

namespace qmz {

// What screen readers meet in the window, made by Qt as they first ask about each widget: the form
// as a frame, which they announce with its title (Qt would make a plain widget a filler); each
// clickable label as a link whose "press" clicks it; each one-line box as the whole text it holds,
// whose edits (set, insert, delete, and the copy, cut and paste that the accessibility bridge makes
// of them) go in as the box's own. QLineEdit's own interface reads the widget, which holds no unit,
// and sets the whole text at each insert. Installed before any widget; Qt keeps it once.
void InstallAccessibility();

}  // namespace qmz
