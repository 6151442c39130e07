#include "qt/one_line_box.hpp"

#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QStyleOptionFrame>

#include <functional>
#include <limits>
#include <new>

#include "qt/accessibility.hpp"
#include "window/first_line.hpp"

namespace qmz {
namespace {

// The longest text the widget holds: far longer than a page link, and short enough that laying it
// out at every change and paint costs nothing a user notices.
constexpr qsizetype LongestHeld = 4096;
// How much of each end of a unit its rendering starts from, before it is cut to the box's width.
constexpr qsizetype EndShown = 64;

QStringView FirstLine(QStringView text) {
    return text.first(static_cast<qsizetype>(FirstLineLength(TextView(text.utf16(), static_cast<std::size_t>(text.size())))));
}

}  // namespace

OneLineBox::OneLineBox(QWidget* parent) : QLineEdit(parent) {
    // Before anything tells screen readers of a change, which is when Qt makes the interface.
    InstallAccessibility();
    setMaxLength(std::numeric_limits<int>::max());
    // A unit's rendering is the box's text to the user, drawn as text rather than as a hint.
    QPalette colours = palette();
    colours.setColor(QPalette::PlaceholderText, colours.color(QPalette::Text));
    setPalette(colours);
    // The widget's own edits: what it holds now has taken any unit's place.
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        try {
            if (!typing_) {
                undo_.push_back(last_);
            }
        } catch (const std::bad_alloc&) {
            undo_.clear();  // no memory to keep the step: the history before it goes, the edit stays
        }
        redo_.clear();
        typing_ = true;
        unit_ = QString();
        last_ = text;
        setPlaceholderText(QString());
    });
}

void OneLineBox::SetWholeText(QStringView text) {
    undo_.clear();
    redo_.clear();
    Show(FirstLine(text).toString(), FirstLine(text).size());
}

bool OneLineBox::Replace(qsizetype from, qsizetype to, QStringView incoming) {
    const QString whole = WholeText();
    const QStringView line = FirstLine(incoming);
    if (from < 0 || from > to || to > whole.size() || (from == to && line.isEmpty())) {
        return from == to && line.isEmpty();
    }
    try {
        QString text;
        text.reserve(whole.size() - (to - from) + line.size());  // exactly: a unit keeps the room it is made with
        text.append(QStringView(whole).first(from)).append(line).append(QStringView(whole).sliced(to));
        undo_.push_back(whole);
        redo_.clear();
        Show(text, from + line.size());
    } catch (const std::bad_alloc&) {
        return false;  // no memory for the new text or its step: the box stays as it was
    }
    return true;
}

void OneLineBox::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Paste) {
        // Shift+Ctrl+Insert pastes the selection, where the system has one, as in QLineEdit.
        const bool selection = event->key() == Qt::Key_Insert && event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
        Paste(selection && QGuiApplication::clipboard()->supportsSelection() ? QClipboard::Selection : QClipboard::Clipboard);
    } else if (event == QKeySequence::Undo || event == QKeySequence::Redo) {
        event == QKeySequence::Undo ? Step(undo_, redo_) : Step(redo_, undo_);
    } else if (HoldsUnit() && (event == QKeySequence::Copy || event == QKeySequence::Cut || event == QKeySequence::SelectAll)) {
        // What QLineEdit does with the selection, the box does with a unit, which the widget does not hold.
        HandOut(event == QKeySequence::SelectAll ? QClipboard::Selection : QClipboard::Clipboard, event == QKeySequence::Cut);
    } else if (HoldsUnit() && (event->key() == Qt::Key_Backspace || event == QKeySequence::Delete)) {
        ReplaceSelection({});
    } else {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void OneLineBox::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (FirstLine(commit).size() == commit.size() && text().size() + commit.size() <= LongestHeld) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // A commit with a line break, or one too long for the widget, goes in as the box's own edit;
    // what is still being composed goes on to the widget.
    ReplaceSelection(commit);
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
    QDragLeaveEvent leave;  // ends the text cursor that QLineEdit shows where the drag points
    QLineEdit::dragLeaveEvent(&leave);
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    try {
        if (event->mimeData()->hasText() && ReplaceSelection(event->mimeData()->text())) {
            event->acceptProposedAction();
            return;
        }
    } catch (const std::bad_alloc&) {
        // No memory for the dropped text: the drop is refused and the box stays as it was.
    }
    event->ignore();
}

void OneLineBox::contextMenuEvent(QContextMenuEvent* event) {
    // QLineEdit's entries in QLineEdit's words, each running the box's own command.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool selected = HoldsUnit() || hasSelectedText();
    const struct {
        const char* label;
        QKeySequence::StandardKey keys;
        bool enabled;
        std::function<void()> run;
    } entries[] = {
        {"&Undo", QKeySequence::Undo, !undo_.empty(), [this] { Step(undo_, redo_); }},
        {"&Redo", QKeySequence::Redo, !redo_.empty(), [this] { Step(redo_, undo_); }},
        {"Cu&t", QKeySequence::Cut, selected, [this] { HandOut(QClipboard::Clipboard, true); }},
        {"&Copy", QKeySequence::Copy, selected, [this] { HandOut(QClipboard::Clipboard, false); }},
        {"&Paste", QKeySequence::Paste, true, [this] { Paste(QClipboard::Clipboard); }},
        {"Delete", QKeySequence::UnknownKey, selected, [this] { ReplaceSelection({}); }},
        {"Select All", QKeySequence::SelectAll, !WholeText().isEmpty(), [this] { HandOut(QClipboard::Selection, false); }},
    };
    for (const auto& entry : entries) {
        const QString keys = QKeySequence(entry.keys).toString(QKeySequence::NativeText);
        menu->addAction(QLineEdit::tr(entry.label) + (keys.isEmpty() ? QString() : u'\t' + keys), this, entry.run)->setEnabled(entry.enabled);
        if (entry.keys == QKeySequence::Redo || entry.keys == QKeySequence::UnknownKey) {
            menu->addSeparator();
        }
    }
    menu->popup(event->globalPos());
}

void OneLineBox::Show(const QString& text, qsizetype cursor) {
    last_ = text;
    typing_ = false;
    unit_ = text.size() > LongestHeld ? text : QString();
    if (!HoldsUnit()) {
        setPlaceholderText(QString());
        setText(text);
        setCursorPosition(static_cast<int>(cursor));
        return;
    }
    // The unit's beginning, "…" and its end, as much as the box's width shows (less QLineEdit's
    // margin of two pixels each side), never cut between the two halves of a character.
    QString ends = text.first(EndShown - (text[EndShown - 1].isHighSurrogate() ? 1 : 0));
    ends.append(QChar(u'\u2026')).append(QStringView(text).last(EndShown - (text[text.size() - EndShown].isLowSurrogate() ? 1 : 0)));
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    const int width = style()->subElementRect(QStyle::SE_LineEditContents, &frame, this).marginsRemoved(textMargins()).width() - 4;
    setPlaceholderText(fontMetrics().elidedText(ends, Qt::ElideMiddle, width));
    setText(QString());
}

bool OneLineBox::ReplaceSelection(QStringView incoming) {
    const qsizetype from = HoldsUnit() ? 0 : hasSelectedText() ? selectionStart() : cursorPosition();
    return Replace(from, HoldsUnit() ? unit_.size() : hasSelectedText() ? selectionEnd() : from, incoming);
}

void OneLineBox::Paste(QClipboard::Mode mode) {
    try {
        ReplaceSelection(QGuiApplication::clipboard()->text(mode));
    } catch (const std::bad_alloc&) {
        // No memory for the pasted text: the paste is refused and the box stays as it was.
    }
}

void OneLineBox::HandOut(QClipboard::Mode mode, bool cut) {
    if (!HoldsUnit()) {
        mode == QClipboard::Selection ? selectAll() : cut ? QLineEdit::cut() : QLineEdit::copy();
        return;
    }
    try {
        if (mode == QClipboard::Clipboard || QGuiApplication::clipboard()->supportsSelection()) {
            QGuiApplication::clipboard()->setText(unit_, mode);
        }
    } catch (const std::bad_alloc&) {
        return;  // nothing was handed out, so nothing is cut
    }
    if (cut) {
        ReplaceSelection({});
    }
}

void OneLineBox::Step(std::vector<QString>& back, std::vector<QString>& forth) {
    try {
        if (!back.empty()) {
            forth.push_back(last_);
            Show(back.back(), back.back().size());
            back.pop_back();
        }
    } catch (const std::bad_alloc&) {
        // No memory to keep the way back: the step is refused.
    }
}

}  // namespace qmz
