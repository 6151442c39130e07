#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace qmz {

// A label that answers a click like a button does: pressed and released over the label with the
// left button. It still looks and behaves like plain text (no focus, no hover effect).
class ClickableLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            pressed_ = true;
            event->accept();
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const bool wasPressed = pressed_;
        pressed_ = false;
        if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            emit clicked();
        }
    }

private:
    bool pressed_ = false;
};

}  // namespace qmz
