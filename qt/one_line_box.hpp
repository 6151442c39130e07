#pragma once

#include <QClipboard>
#include <QLineEdit>

#include <optional>
#include <utility>
#include <vector>

#include "qt/folded_text.hpp"

namespace qmz {

// The window's one-line text box: a QLineEdit that takes a text of any length at a cost in
// proportion to it. It holds the text folded (folded_text.hpp), so that the widget lays out only
// what can be shown. A paste (keys, menu, middle click) or a drop comes in up to its first line
// break, as one step that Undo takes back. Reading the box and copying from it give the text
// unfolded.
//
// The box keeps its own undo history, of whole states (view, folds, cursor, selection), in steps
// as QLineEdit makes them: QLineEdit's records one command per character, and loses everything
// when its validator shortens a text.
class OneLineBox final : public QLineEdit {
    Q_OBJECT
public:
    explicit OneLineBox(QWidget* parent);

    QString WholeText() const;
    // As setText: the first line of text, the cursor at its end and nothing before it to undo.
    void SetWholeText(QStringView text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct State {
        FoldedText text;
        int cursor = 0;
        int selectionStart = -1, selectionEnd = -1;
    };

    void Paste(QClipboard::Mode mode);
    void Insert(const QString& incoming);
    void Step(std::vector<State>& back, std::vector<State>& forth);
    void Show(const State& state);
    void FollowEdit();
    void CopyUnfolded(QClipboard::Mode mode);

    State now_;  // between the widget's edits, also the state before the next one
    std::vector<State> undo_, redo_;
    // The step that typing goes on with: whether it grows the text, and where its cursor stopped.
    std::optional<std::pair<bool, int>> typing_;
    bool showing_ = false;
};

}  // namespace qmz
