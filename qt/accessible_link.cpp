#include "qt/accessible_link.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

#include "qt/clickable_label.hpp"

namespace qmz {
namespace {

// The property that marks a label as a link; read by the factory when a screen reader first asks.
constexpr char LinkProperty[] = "qmzAccessibleLink";

class AccessibleLinkLabel final : public QAccessibleWidget {
public:
    explicit AccessibleLinkLabel(ClickableLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty()) {
            text = static_cast<const QLabel*>(widget())->text();
        }
        return text;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction()) {
            emit static_cast<ClickableLabel*>(widget())->clicked();
        }
    }
};

QAccessibleInterface* LinkLabelFactory(const QString&, QObject* object) {
    auto* label = qobject_cast<ClickableLabel*>(object);
    if (label != nullptr && label->property(LinkProperty).toBool()) {
        return new AccessibleLinkLabel(label);
    }
    return nullptr;
}

}  // namespace

void MarkAsAccessibleLink(QWidget& widget) {
    // Qt keeps one list of factories and adds this one only once, however many windows mark links.
    QAccessible::installFactory(LinkLabelFactory);
    widget.setProperty(LinkProperty, true);
}

}  // namespace qmz
