#include "qt/one_line_box.hpp"

#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <functional>
#include <limits>
#include <new>

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
    const QStringView line = FirstLine(text);
    State state;
    qsizetype cursor = 0;
    state.text = FoldAround(line, line.size(), &cursor);
    state.cursor = static_cast<int>(cursor);
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
        event->acceptProposedAction();
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        Insert(dropped);
    } catch (const std::bad_alloc&) {
        // No memory for the dropped text: the drop is refused and the box stays as it was.
    }
}

void OneLineBox::contextMenuEvent(QContextMenuEvent* event) {
    // QLineEdit's own menu, with the entries that change the text through the box's history.
    QMenu* menu = createStandardContextMenu();
    const std::pair<const char*, std::function<void()>> entries[] = {
        {"&Undo", [this] { Step(undo_, redo_); }},
        {"&Redo", [this] { Step(redo_, undo_); }},
        {"&Paste", [this] { Paste(QClipboard::Clipboard); }},
    };
    for (QAction* action : menu->actions()) {
        for (const auto& [label, run] : entries) {
            const QString text = QLineEdit::tr(label);
            if (action->text() == text || action->text().startsWith(text + u'\t')) {
                action->disconnect(this);
                connect(action, &QAction::triggered, this, run);
                if (label == entries[0].first || label == entries[1].first) {
                    action->setEnabled(!(label == entries[0].first ? undo_ : redo_).empty());
                }
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
    const int from = hasSelectedText() ? selectionStart() : cursorPosition();
    const int to = hasSelectedText() ? selectionEnd() : from;
    const QString before = now_.text.Unfolded(0, from);
    const QString after = now_.text.Unfolded(to, now_.text.view.size());
    QString text;
    text.reserve(before.size() + line.size() + after.size());
    text.append(before).append(line).append(after);
    State state;
    qsizetype cursor = 0;
    state.text = FoldAround(text, before.size() + line.size(), &cursor);
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
        redo_.clear();
        now_.text.Follow(after, edit.from, edit.to, edit.inserted);
    } catch (const std::bad_alloc&) {
        // No memory to follow the edit: the history goes, and each "…" stands for itself, which
        // needs none.
        undo_.clear();
        redo_.clear();
        now_.text.folds.clear();
        now_.text.view = after;
    }
    typing_.emplace(grows, cursorPosition());
}

// A copy from the box puts on the clipboard the view of its selection; this puts the text that
// the selection stands for in its place. The box makes its copies while it has the focus.
void OneLineBox::CopyUnfolded(QClipboard::Mode mode) {
    if (!hasFocus() || !hasSelectedText()) {
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    try {
        const QString shown = selectedText();
        const QString unfolded = now_.text.Unfolded(selectionStart(), selectionEnd());
        if (unfolded != shown && clipboard->text(mode) == shown) {
            clipboard->setText(unfolded, mode);
        }
    } catch (const std::bad_alloc&) {
        // Rather nothing on the clipboard than a text that is not the one copied.
        clipboard->clear(mode);
    }
}

}  // namespace qmz
