#include "qt/accessible_window.hpp"

#include <QAccessibleWidget>
#include <QWidget>

namespace qmz {
namespace {

// The property that marks the main window; read by the factory when a screen reader first asks.
constexpr char WindowProperty[] = "qmzAccessibleWindow";

QAccessibleInterface* MainWindowFactory(const QString&, QObject* object) {
    if (object != nullptr && object->isWidgetType() && object->property(WindowProperty).toBool()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void MarkAsAccessibleWindow(QWidget& window) {
    // Qt keeps one list of factories and adds this one only once.
    QAccessible::installFactory(MainWindowFactory);
    window.setProperty(WindowProperty, true);
}

}  // namespace qmz
