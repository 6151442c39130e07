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
    // A press it takes sends it the release too, wherever the pointer has gone by then.
    void mousePressEvent(QMouseEvent* event) override { event->setAccepted(event->button() == Qt::LeftButton); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            emit clicked();
        }
    }
};

}  // namespace qmz
