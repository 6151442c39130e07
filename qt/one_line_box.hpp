#pragma once

#include <QClipboard>
#include <QLineEdit>

#include <functional>
#include <optional>
#include <vector>

namespace qmz {

// The window's one-line text box: a QLineEdit that takes a text of any length at a cost in
// proportion to it. Every way in keeps the first line of what comes (up to its first line break).
//
// A text longer than any page link could be is one unit: the widget holds no text then, and its
// placeholder shows the unit's beginning, "…" and its end, so the toolkit lays out and repaints only
// those few characters. Copy and cut hand out the whole text; typing, deleting or pasting replaces
// it whole; Undo brings it back. Screen readers read and edit the whole text (accessible_box.hpp).
//
// The box keeps its own history of whole states, in steps as QLineEdit makes them (a run of typing
// is one step, a paste is one): QLineEdit's own history cannot hold a unit it never holds.
class OneLineBox final : public QLineEdit {
    Q_OBJECT
public:
    explicit OneLineBox(QWidget* parent);

    QString WholeText() const;
    bool HoldsUnit() const { return !unit_.isNull(); }
    // As setText: the first line of text, the cursor at its end and nothing before it to undo.
    void SetWholeText(QStringView text);
    // Puts the first line of incoming in place of [from, to) of the whole text, as one step that
    // Undo takes back. Changes nothing, and says so, when the range does not lie in the text or
    // memory runs out.
    bool Replace(qsizetype from, qsizetype to, QStringView incoming);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct State {
        QString text;
        int cursor = 0;
        int anchor = 0;  // the selection's other end; the cursor's place when nothing is selected
    };

    State Current() const;
    void Show(const State& state);
    // Lets the widget handle what reaches it from the user, and keeps the state before any edit it
    // makes as an undo step.
    void Natively(const std::function<void()>& handle);
    // In place of the selection (of the whole unit), or at the cursor.
    void ReplaceSelection(QStringView incoming);
    void Paste(QClipboard::Mode mode);
    // Copies the selection (the whole unit) to the clipboard; with cut, then takes it out.
    void CopyOut(bool cut);
    // Selects the whole text; a unit, which the widget cannot show selected, goes to the X selection.
    void SelectEverything();
    void Step(std::vector<State>& back, std::vector<State>& forth);

    QString unit_;  // the whole text while the box holds it as a unit, else null
    std::vector<State> undo_, redo_;
    // The run of typing (or of deleting) that the next such edit joins, and where its cursor stopped.
    struct Run {
        bool grows;
        int cursor;
    };
    std::optional<Run> run_;
    bool edited_ = false;  // the widget edited its text since Natively began
};

}  // namespace qmz
