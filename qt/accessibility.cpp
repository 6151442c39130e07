#include "qt/accessibility.hpp"

#include <QAccessibleWidget>
#include <QFontMetrics>

#include "qt/clickable_label.hpp"
#include "qt/form.hpp"
#include "qt/one_line_box.hpp"

namespace qmz {
namespace {

class AccessibleLink final : public QAccessibleWidget {
public:
    explicit AccessibleLink(ClickableLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            emit static_cast<ClickableLabel*>(widget())->clicked();
        }
    }
};

// Offsets are the whole text's; the cursor and the selection are the widget's.
class AccessibleBox final : public QAccessibleWidget, public QAccessibleTextInterface, public QAccessibleEditableTextInterface {
public:
    explicit AccessibleBox(OneLineBox* box) : QAccessibleWidget(box, QAccessible::EditableText), box_(*box) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface           ? static_cast<QAccessibleTextInterface*>(this)
               : type == QAccessible::EditableTextInterface ? static_cast<QAccessibleEditableTextInterface*>(this)
                                                            : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override { return kind == QAccessible::Value ? box_.WholeText() : QAccessibleWidget::text(kind); }
    void setText(QAccessible::Text kind, const QString& text) override {
        if (kind == QAccessible::Value) {
            box_.Replace(0, box_.WholeText().size(), text);
        } else {
            QAccessibleWidget::setText(kind, text);
        }
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = state.selectableText = true;
        return state;
    }

    QString text(int from, int to) const override { return from <= to ? box_.WholeText().mid(from, to - from) : QString(); }
    int characterCount() const override { return static_cast<int>(box_.WholeText().size()); }
    int cursorPosition() const override { return box_.cursorPosition(); }
    void setCursorPosition(int position) override { box_.setCursorPosition(position); }
    int selectionCount() const override { return box_.hasSelectedText() ? 1 : 0; }
    void selection(int /*index: the one there is*/, int* from, int* to) const override {
        *from = box_.hasSelectedText() ? box_.selectionStart() : 0;
        *to = box_.hasSelectedText() ? box_.selectionEnd() : 0;
    }
    void setSelection(int /*index: the one there is*/, int from, int to) override {
        if (0 <= from && from <= box_.text().size()) {
            box_.setSelection(from, to - from);
        }
    }
    void addSelection(int from, int to) override { setSelection(0, from, to); }
    void removeSelection(int /*index: the one there is*/) override { box_.deselect(); }
    QRect characterRect(int offset) const override {
        // Measured from where the widget draws its cursor, the one place QLineEdit tells; a unit
        // shows no characters of its own.
        const QString shown = box_.text();
        const QFontMetrics metrics(box_.font());
        const QRect cursor = box_.inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int left = cursor.left() + metrics.horizontalAdvance(shown.left(offset)) - metrics.horizontalAdvance(shown.left(box_.cursorPosition()));
        return offset < 0 || offset >= shown.size()
                   ? QRect()
                   : QRect(box_.mapToGlobal(QPoint(left, cursor.top())), QSize(metrics.horizontalAdvance(shown.mid(offset, 1)), cursor.height()));
    }
    int offsetAtPoint(const QPoint& point) const override { return box_.cursorPositionAt(box_.mapFromGlobal(point)); }
    void scrollToSubstring(int from, int to) override {
        box_.setCursorPosition(to);
        box_.setCursorPosition(from);
    }
    QString attributes(int offset, int* from, int* to) const override {
        *from = *to = offset;  // the box's text has no attributes
        return {};
    }

    void deleteText(int from, int to) override { box_.Replace(from, to, {}); }
    void insertText(int offset, const QString& text) override { box_.Replace(offset, offset, text); }
    void replaceText(int from, int to, const QString& text) override { box_.Replace(from, to, text); }

private:
    OneLineBox& box_;
};

QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
    if (auto* box = qobject_cast<OneLineBox*>(object)) {
        return new AccessibleBox(box);
    }
    if (auto* label = qobject_cast<ClickableLabel*>(object)) {
        return new AccessibleLink(label);
    }
    auto* form = qobject_cast<QtForm*>(object);
    return form != nullptr ? new QAccessibleWidget(form, QAccessible::Window) : nullptr;
}

}  // namespace

void InstallAccessibility() {
    QAccessible::installFactory(Factory);
}

}  // namespace qmz
