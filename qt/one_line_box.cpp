#include "qt/one_line_box.hpp"

#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <functional>
#include <limits>
#include <new>
#include <optional>

#include "qt/first_line_validator.hpp"
#include "window/first_line.hpp"

namespace qmz {
namespace {

QStringView FirstLine(QStringView text) {
    return text.first(static_cast<qsizetype>(FirstLineLength(TextView(text.utf16(), static_cast<std::size_t>(text.size())))));
}

}  // namespace

OneLineBox::OneLineBox(QWidget* parent) : QLineEdit(parent) {
    // The box has no length limit of its own: whatever is pasted is kept whole.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new FirstLineValidator(this));
    connect(this, &QLineEdit::textChanged, this, &OneLineBox::FollowEdit);
    // Emitted after textChanged: until then now_ keeps where the cursor and the selection were.
    connect(this, &QLineEdit::cursorPositionChanged, this, [this](int, int cursor) { now_.cursor = cursor; });
    connect(this, &QLineEdit::selectionChanged, this, [this] {
        now_.selectionStart = selectionStart();
        now_.selectionEnd = selectionEnd();
    });
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this, &OneLineBox::CopyUnfolded);
}

QString OneLineBox::WholeText() const {
    return now_.text.Unfolded(0, now_.text.view.size());
}

void OneLineBox::SetWholeText(QStringView text) {
    State state;
    state.text = FoldedText::Of(FirstLine(text));
    state.cursor = static_cast<int>(state.text.view.size());
    undo_.clear();
    redo_.clear();
    Show(state);
}

void OneLineBox::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Paste) {
        // Shift+Ctrl+Insert pastes the selection, where the system has one, as in QLineEdit.
        const bool selection = event->key() == Qt::Key_Insert && event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
        Paste(selection && QGuiApplication::clipboard()->supportsSelection() ? QClipboard::Selection : QClipboard::Clipboard);
    } else if (event == QKeySequence::Undo) {
        Step(undo_, redo_);
    } else if (event == QKeySequence::Redo) {
        Step(redo_, undo_);
    } else {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void OneLineBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection()) {
        QLineEdit::mouseReleaseEvent(event);
        return;
    }
    deselect();
    Paste(QClipboard::Selection);
}

void OneLineBox::dropEvent(QDropEvent* event) {
    // Ends the text cursor that QLineEdit shows where the drag points.
    QDragLeaveEvent leave;
    QLineEdit::dragLeaveEvent(&leave);
    try {
        const QString dropped = event->mimeData()->text();
        if (dropped.isNull()) {
            event->ignore();
            return;
        }
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        Insert(dropped);
        event->acceptProposedAction();
    } catch (const std::bad_alloc&) {
        // No memory for the dropped text: the drop is refused and the box stays as it was.
        event->ignore();
    }
}

void OneLineBox::contextMenuEvent(QContextMenuEvent* event) {
    // QLineEdit's own menu, whose Undo, Redo and Paste go through the box's own.
    QMenu* menu = createStandardContextMenu();
    const struct {
        const char* label;
        std::function<void()> run;
        std::optional<bool> enabled;
    } entries[] = {
        {"&Undo", [this] { Step(undo_, redo_); }, !undo_.empty()},
        {"&Redo", [this] { Step(redo_, undo_); }, !redo_.empty()},
        {"&Paste", [this] { Paste(QClipboard::Clipboard); }, std::nullopt},
    };
    for (QAction* action : menu->actions()) {
        for (const auto& entry : entries) {
            const QString label = QLineEdit::tr(entry.label);
            if (action->text() == label || action->text().startsWith(label + u'\t')) {
                action->disconnect(this);
                connect(action, &QAction::triggered, this, entry.run);
                action->setEnabled(entry.enabled.value_or(action->isEnabled()));
            }
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void OneLineBox::Paste(QClipboard::Mode mode) {
    try {
        Insert(QGuiApplication::clipboard()->text(mode));
    } catch (const std::bad_alloc&) {
        // No memory for the pasted text: the paste is refused and the box stays as it was.
    }
}

// In place of the selection, or at the cursor, as QLineEdit pastes: one step of its own.
void OneLineBox::Insert(const QString& incoming) {
    const QStringView line = FirstLine(incoming);
    if (line.isEmpty() && !hasSelectedText()) {
        return;
    }
    State state;
    state.text = now_.text;
    qsizetype cursor = 0;
    state.text.Replace(hasSelectedText() ? selectionStart() : cursorPosition(), hasSelectedText() ? selectionEnd() : cursorPosition(),
                       line, &cursor);
    state.cursor = static_cast<int>(cursor);
    undo_.push_back(now_);
    redo_.clear();
    Show(state);
}

// Undo (back the undo history, forth the redo history) or Redo (the other way round).
void OneLineBox::Step(std::vector<State>& back, std::vector<State>& forth) {
    if (back.empty()) {
        return;
    }
    try {
        forth.push_back(now_);
    } catch (const std::bad_alloc&) {
        forth.clear();
    }
    Show(back.back());
    back.pop_back();
}

void OneLineBox::Show(const State& state) {
    showing_ = true;
    now_.text = state.text;
    setText(state.text.view);
    if (state.selectionEnd <= state.selectionStart) {
        setCursorPosition(state.cursor);
    } else if (state.cursor == state.selectionStart) {
        setSelection(state.selectionEnd, state.selectionStart - state.selectionEnd);
    } else {
        setSelection(state.selectionStart, state.selectionEnd - state.selectionStart);
    }
    showing_ = false;
    typing_.reset();
}

// After each edit that the widget made itself (typing, deleting, cutting, an input method).
void OneLineBox::FollowEdit() {
    if (showing_) {
        return;
    }
    const QString after = text();
    const ViewEdit edit = FindEdit(now_.text.view, after, now_.selectionStart, now_.selectionEnd, now_.cursor, cursorPosition());
    const bool grows = after.size() > now_.text.view.size();
    const bool goesOn = typing_ && typing_->first == grows && typing_->second == now_.cursor && now_.selectionEnd <= now_.selectionStart;
    try {
        if (!goesOn) {
            undo_.push_back(now_);
        }
    } catch (const std::bad_alloc&) {
        undo_.clear();  // no memory to keep the step: the history before it goes
    }
    redo_.clear();
    try {
        now_.text.Follow(after, edit.from, edit.to, edit.inserted);
    } catch (const std::bad_alloc&) {
        // No memory to follow the edit: each "…" stands for itself, which needs none.
        now_.text.folds.clear();
        now_.text.view = after;
    }
    typing_.emplace(grows, cursorPosition());
}

// A copy from the box puts on the clipboard the view of its selection; this puts the text that
// the selection stands for in its place. The box makes its copies while it has the focus.
void OneLineBox::CopyUnfolded(QClipboard::Mode mode) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    bool ours = false;
    try {
        const QString shown = selectedText();
        ours = hasFocus() && shown.contains(FoldedText::Fold) && clipboard->text(mode) == shown;
        const QString unfolded = ours ? now_.text.Unfolded(selectionStart(), selectionEnd()) : shown;
        if (unfolded != shown) {
            clipboard->setText(unfolded, mode);
        }
    } catch (const std::bad_alloc&) {
        if (ours) {
            // Rather nothing on the clipboard than a text that is not the one copied.
            clipboard->clear(mode);
        }
    }
}

}  // namespace qmz
