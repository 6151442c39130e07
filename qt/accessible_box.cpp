#include "qt/accessible_box.hpp"

#include <QAccessibleWidget>
#include <QFontMetrics>

#include "qt/one_line_box.hpp"

namespace qmz {
namespace {

// Offsets are those of the whole text; QLineEdit's own ones where the widget holds the text.
class AccessibleBox final : public QAccessibleWidget, public QAccessibleTextInterface, public QAccessibleEditableTextInterface {
public:
    explicit AccessibleBox(OneLineBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        if (type == QAccessible::EditableTextInterface) {
            return static_cast<QAccessibleEditableTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? Box().WholeText() : QAccessibleWidget::text(kind);
    }
    void setText(QAccessible::Text kind, const QString& text) override {
        if (kind == QAccessible::Value) {
            Box().Replace(0, Box().WholeText().size(), text);
        } else {
            QAccessibleWidget::setText(kind, text);
        }
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.selectableText = true;
        return state;
    }

    QString text(int from, int to) const override { return from <= to ? Box().WholeText().mid(from, to - from) : QString(); }
    int characterCount() const override { return static_cast<int>(Box().WholeText().size()); }
    int cursorPosition() const override { return Box().cursorPosition(); }
    void setCursorPosition(int position) override { Box().setCursorPosition(position); }
    int selectionCount() const override { return Box().hasSelectedText() ? 1 : 0; }
    void selection(int index, int* from, int* to) const override {
        const bool selected = index == 0 && Box().hasSelectedText();
        *from = selected ? Box().selectionStart() : 0;
        *to = selected ? Box().selectionEnd() : 0;
    }
    void setSelection(int index, int from, int to) override {
        if (index == 0 && 0 <= from && from <= Box().text().size()) {
            Box().setSelection(from, to - from);
        }
    }
    void addSelection(int from, int to) override { setSelection(0, from, to); }
    void removeSelection(int index) override {
        if (index == 0) {
            Box().deselect();
        }
    }
    QRect characterRect(int offset) const override {
        // Measured from where the widget draws its cursor, the one place QLineEdit tells.
        const QString shown = Box().text();
        if (offset < 0 || offset >= shown.size()) {
            return {};
        }
        const QFontMetrics metrics(Box().font());
        const QRect cursor = Box().inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int left = cursor.left() + metrics.horizontalAdvance(shown.left(offset)) -
                         metrics.horizontalAdvance(shown.left(Box().cursorPosition()));
        return {Box().mapToGlobal(QPoint(left, cursor.top())), QSize(metrics.horizontalAdvance(shown.mid(offset, 1)), cursor.height())};
    }
    int offsetAtPoint(const QPoint& point) const override { return Box().cursorPositionAt(Box().mapFromGlobal(point)); }
    void scrollToSubstring(int from, int to) override {
        Box().setCursorPosition(to);
        Box().setCursorPosition(from);
    }
    QString attributes(int offset, int* from, int* to) const override {
        *from = *to = offset;
        return {};
    }

    void deleteText(int from, int to) override { Box().Replace(from, to, {}); }
    void insertText(int offset, const QString& text) override { Box().Replace(offset, offset, text); }
    void replaceText(int from, int to, const QString& text) override { Box().Replace(from, to, text); }

private:
    OneLineBox& Box() const { return *static_cast<OneLineBox*>(widget()); }
};

QAccessibleInterface* BoxFactory(const QString& /*className*/, QObject* object) {
    auto* box = qobject_cast<OneLineBox*>(object);
    return box != nullptr ? new AccessibleBox(box) : nullptr;
}

}  // namespace

void InstallAccessibleBoxes() {
    // Qt keeps one list of factories and adds this one only once, however many boxes are made.
    QAccessible::installFactory(BoxFactory);
}

}  // namespace qmz
