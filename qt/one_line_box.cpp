#include "qt/one_line_box.hpp"

#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QStyleOptionFrame>

#include <algorithm>
#include <limits>
#include <new>

#include "qt/accessible_box.hpp"
#include "window/first_line.hpp"

namespace qmz {
namespace {

// The longest text the widget holds itself: far longer than a page link, and short enough that
// laying it out at every change and paint costs nothing a user notices. A longer one is a unit.
constexpr qsizetype LongestHeld = 4096;
// How much of each end of a unit its rendering starts from, before it is cut to the box's width.
constexpr qsizetype EndShown = 64;

QStringView FirstLine(QStringView text) {
    return text.first(static_cast<qsizetype>(FirstLineLength(TextView(text.utf16(), static_cast<std::size_t>(text.size())))));
}

// The keys with which QLineEdit deletes text, and those with which it takes text out onto the
// clipboard: on a unit, which the widget does not hold, the box does their work.
bool Deletes(QKeyEvent* event) {
    return event->key() == Qt::Key_Backspace || event == QKeySequence::Delete || event == QKeySequence::DeleteStartOfWord ||
           event == QKeySequence::DeleteEndOfWord;
}
bool Cuts(QKeyEvent* event) {
    return event == QKeySequence::Cut || event == QKeySequence::DeleteEndOfLine || event == QKeySequence::DeleteCompleteLine;
}

}  // namespace

OneLineBox::OneLineBox(QWidget* parent) : QLineEdit(parent) {
    // Before anything that tells screen readers of a change, which is when Qt makes the box's
    // accessible interface.
    InstallAccessibleBoxes();
    // The box has no length limit of its own: whatever comes is kept whole.
    setMaxLength(std::numeric_limits<int>::max());
    // A unit's rendering is the box's text to the user, drawn as text rather than as a hint.
    QPalette colours = palette();
    colours.setColor(QPalette::PlaceholderText, colours.color(QPalette::Text));
    setPalette(colours);
    connect(this, &QLineEdit::textEdited, this, [this] {
        // Whatever the widget holds now has taken the unit's place.
        edited_ = true;
        unit_ = QString();
        setPlaceholderText(QString());
    });
}

QString OneLineBox::WholeText() const {
    return HoldsUnit() ? unit_ : text();
}

void OneLineBox::SetWholeText(QStringView text) {
    const QStringView line = FirstLine(text);
    undo_.clear();
    redo_.clear();
    const auto end = static_cast<int>(line.size());
    Show({line.toString(), end, end});
}

bool OneLineBox::Replace(qsizetype from, qsizetype to, QStringView incoming) {
    const QString whole = WholeText();
    if (from < 0 || from > to || to > whole.size()) {
        return false;
    }
    const QStringView line = FirstLine(incoming);
    if (from == to && line.isEmpty()) {
        return true;
    }
    try {
        QString text;
        text.reserve(whole.size() - (to - from) + line.size());
        text.append(QStringView(whole).first(from)).append(line).append(QStringView(whole).sliced(to));
        const auto cursor = static_cast<int>(from + line.size());
        undo_.push_back(Current());
        redo_.clear();
        Show({std::move(text), cursor, cursor});
    } catch (const std::bad_alloc&) {
        return false;  // no memory for the new text or its undo step: the box stays as it was
    }
    return true;
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
    } else if (HoldsUnit() && (event == QKeySequence::Copy || Cuts(event))) {
        CopyOut(Cuts(event));
    } else if (HoldsUnit() && Deletes(event)) {
        ReplaceSelection({});
    } else if (HoldsUnit() && event == QKeySequence::SelectAll) {
        SelectEverything();
    } else {
        Natively([this, event] { QLineEdit::keyPressEvent(event); });
        return;
    }
    event->accept();
}

void OneLineBox::inputMethodEvent(QInputMethodEvent* event) {
    const QString& commit = event->commitString();
    if (FirstLine(commit).size() == commit.size() && text().size() + commit.size() <= LongestHeld) {
        Natively([this, event] { QLineEdit::inputMethodEvent(event); });
        return;
    }
    // A commit with a line break, or one that leaves a text too long for the widget, goes in as the
    // box's own edit: in place of the selection, else of what the input method replaces around
    // the cursor. What the input method is still composing goes to the widget.
    if (HoldsUnit() || hasSelectedText()) {
        ReplaceSelection(commit);
    } else {
        const qsizetype from = std::clamp<qsizetype>(cursorPosition() + event->replacementStart(), 0, text().size());
        Replace(from, std::clamp<qsizetype>(from + event->replacementLength(), from, text().size()), commit);
    }
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&composing);
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
        const qsizetype at = cursorPositionAt(event->position().toPoint());
        if (!dropped.isNull() && (HoldsUnit() ? Replace(0, unit_.size(), dropped) : Replace(at, at, dropped))) {
            event->acceptProposedAction();
            return;
        }
    } catch (const std::bad_alloc&) {
        // No memory for the dropped text: the drop is refused and the box stays as it was.
    }
    event->ignore();
}

void OneLineBox::contextMenuEvent(QContextMenuEvent* event) {
    // QLineEdit's entries, in QLineEdit's words, each running the box's own command.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool selected = HoldsUnit() || hasSelectedText();
    const struct {
        const char* label;
        QKeySequence::StandardKey key;
        bool enabled;
        std::function<void()> run;
        bool separatorAfter;
    } entries[] = {
        {"&Undo", QKeySequence::Undo, !undo_.empty(), [this] { Step(undo_, redo_); }, false},
        {"&Redo", QKeySequence::Redo, !redo_.empty(), [this] { Step(redo_, undo_); }, true},
        {"Cu&t", QKeySequence::Cut, selected, [this] { CopyOut(true); }, false},
        {"&Copy", QKeySequence::Copy, selected, [this] { CopyOut(false); }, false},
        {"&Paste", QKeySequence::Paste, true, [this] { Paste(QClipboard::Clipboard); }, false},
        {"Delete", QKeySequence::UnknownKey, selected, [this] { ReplaceSelection({}); }, true},
        {"Select All", QKeySequence::SelectAll, !WholeText().isEmpty(), [this] { SelectEverything(); }, false},
    };
    for (const auto& entry : entries) {
        const QString keys = QKeySequence(entry.key).toString(QKeySequence::NativeText);
        QAction* action = menu->addAction(QLineEdit::tr(entry.label) + (keys.isEmpty() ? QString() : u'\t' + keys));
        action->setEnabled(entry.enabled);
        connect(action, &QAction::triggered, this, entry.run);
        if (entry.separatorAfter) {
            menu->addSeparator();
        }
    }
    menu->popup(event->globalPos());
}

OneLineBox::State OneLineBox::Current() const {
    const int start = selectionStart();
    const int cursor = cursorPosition();
    return {WholeText(), cursor, start < 0 ? cursor : start == cursor ? start + selectionLength() : start};
}

void OneLineBox::Show(const State& state) {
    run_.reset();
    if (state.text.size() <= LongestHeld) {
        unit_ = QString();
        setPlaceholderText(QString());
        setText(state.text);
        setSelection(state.anchor, state.cursor - state.anchor);
        return;
    }
    unit_ = state.text;
    // The unit's beginning, "…" and its end, as much of each as the box's width shows (less two
    // pixels each side, QLineEdit's own margin), never cut between the halves of a character.
    const qsizetype head = EndShown - (unit_[EndShown - 1].isHighSurrogate() ? 1 : 0);
    const qsizetype tail = EndShown - (unit_[unit_.size() - EndShown].isLowSurrogate() ? 1 : 0);
    QString ends;
    ends.append(QStringView(unit_).first(head)).append(QChar(u'\u2026')).append(QStringView(unit_).last(tail));
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    const int width = style()->subElementRect(QStyle::SE_LineEditContents, &frame, this).marginsRemoved(textMargins()).width() - 4;
    setPlaceholderText(fontMetrics().elidedText(ends, Qt::ElideMiddle, width));
    setText(QString());
}

void OneLineBox::Natively(const std::function<void()>& handle) {
    State before = Current();
    const bool wasUnit = HoldsUnit();
    edited_ = false;
    handle();
    if (!edited_) {
        return;
    }
    // Typing over a unit starts a run of typing.
    const bool grows = wasUnit || text().size() > before.text.size();
    const bool goesOn = run_ && run_->grows == grows && run_->cursor == before.cursor && before.anchor == before.cursor;
    try {
        if (!goesOn) {
            undo_.push_back(std::move(before));
        }
    } catch (const std::bad_alloc&) {
        undo_.clear();  // no memory to keep the step: the history before it goes, the edit stays
    }
    redo_.clear();
    run_ = Run{grows, cursorPosition()};
}

void OneLineBox::ReplaceSelection(QStringView incoming) {
    if (HoldsUnit()) {
        Replace(0, unit_.size(), incoming);
    } else if (hasSelectedText()) {
        Replace(selectionStart(), selectionEnd(), incoming);
    } else {
        Replace(cursorPosition(), cursorPosition(), incoming);
    }
}

void OneLineBox::Paste(QClipboard::Mode mode) {
    try {
        ReplaceSelection(QGuiApplication::clipboard()->text(mode));
    } catch (const std::bad_alloc&) {
        // No memory for the pasted text: the paste is refused and the box stays as it was.
    }
}

void OneLineBox::CopyOut(bool cut) {
    if (!HoldsUnit()) {
        Natively([this, cut] { cut ? QLineEdit::cut() : QLineEdit::copy(); });
        return;
    }
    try {
        QGuiApplication::clipboard()->setText(unit_);
    } catch (const std::bad_alloc&) {
        return;  // nothing was copied, so nothing is cut
    }
    if (cut) {
        ReplaceSelection({});
    }
}

void OneLineBox::SelectEverything() {
    if (!HoldsUnit()) {
        selectAll();
    } else if (QGuiApplication::clipboard()->supportsSelection()) {
        // Selecting a unit, which the widget cannot show selected, hands it to the X selection.
        try {
            QGuiApplication::clipboard()->setText(unit_, QClipboard::Selection);
        } catch (const std::bad_alloc&) {
            // No memory to hand it over: the selection stays as it was.
        }
    }
}

void OneLineBox::Step(std::vector<State>& back, std::vector<State>& forth) {
    if (back.empty()) {
        return;
    }
    try {
        forth.push_back(Current());
    } catch (const std::bad_alloc&) {
        return;  // no memory to keep the way back: the step is refused
    }
    Show(back.back());
    back.pop_back();
}

}  // namespace qmz
