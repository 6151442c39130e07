#pragma once

namespace qmz {

// Lets screen readers meet every OneLineBox as the whole text it holds, however the widget shows
// it: they read its text, cursor and selection (a unit has neither), and their edits (set, insert,
// delete, and the copy, cut and paste that the accessibility bridge makes of them) go in as the
// box's own, under its first-line rule and as steps of its history. QLineEdit's own interface
// would read the widget, which holds no unit, and would set the whole text at each insert.
// The box installs it as it is made, before anything asks about it.
void InstallAccessibleBoxes();

}  // namespace qmz
