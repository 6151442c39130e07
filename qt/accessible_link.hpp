#pragma once

class QWidget;

namespace qmz {

// Makes a screen reader present widget as a link (role Link, "press" runs its click), for the
// banner labels that open the site. The label itself does not change: it still looks like text.
void MarkAsAccessibleLink(QWidget& widget);

}  // namespace qmz
