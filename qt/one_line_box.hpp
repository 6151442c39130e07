#pragma once

#include <QClipboard>
#include <QLineEdit>

#include <vector>

namespace qmz {

// The window's one-line text box: every way in takes what comes up to its first line break. A text
// longer than any page link could be is one unit, which the widget does not hold: its placeholder
// shows the unit's beginning, "…" and its end, so that the toolkit lays out and paints only those.
// Copy and cut hand out the whole text, typing, deleting or pasting replaces it whole, and screen
// readers read and edit it whole (accessibility.hpp). The box keeps a history of whole texts for
// Undo and Redo: each edit of the box's own is a step, and so is each run of the user's typing.
class OneLineBox final : public QLineEdit {
    Q_OBJECT
public:
    explicit OneLineBox(QWidget* parent);

    QString WholeText() const { return unit_.isNull() ? text() : unit_; }
    bool HoldsUnit() const { return !unit_.isNull(); }
    // As setText: the first line of text, the cursor at its end, and no history.
    void SetWholeText(QStringView text);
    // Puts the first line of incoming in place of [from, to) of the whole text, as one step.
    // Changes nothing, and says so, when the range is not in the text or memory runs out.
    bool Replace(qsizetype from, qsizetype to, QStringView incoming);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Show(const QString& text, qsizetype cursor);
    bool ReplaceSelection(QStringView incoming);  // or the whole unit, or at the cursor
    void Paste(QClipboard::Mode mode);
    // Copies the selection (a unit whole) to mode's clipboard and, with cut, takes it out. For
    // the X selection it selects everything: the widget cannot show a unit selected.
    void HandOut(QClipboard::Mode mode, bool cut);
    void Step(std::vector<QString>& back, std::vector<QString>& forth);

    QString unit_;  // the whole text while it is a unit, else null
    QString last_;  // the whole text as the last step left it
    std::vector<QString> undo_, redo_;
    bool typing_ = false;  // the user's typing since the last step goes on with it
};

}  // namespace qmz
