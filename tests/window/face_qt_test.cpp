// The Qt face under test, offscreen: its driver for the shared cases. The user's own journeys through
// it (clicks, keys, the real handler, a screen reader's view) are in tests/journeys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "qt/form.hpp"
#include "tests/window/face_driver.hpp"

namespace qmz {
namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class QtFace final : public testing_support::FaceDriver {
public:
    explicit QtFace(LinkOpener opener) : form_(MainForm(), std::move(opener)) {
        form_.show();
        form_.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form_));
        // Every message box over the window is answered, and its text kept, whenever it comes.
        QObject::connect(&answerer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && box->parent() == &form_) {
                messages_.push_back(box->text().toStdString());
                box->accept();
            }
        });
        answerer_.start(10);
    }
    FormRuntime& Form() override { return form_; }
    void Click(std::string_view control) override { QTest::mouseClick(Widget(control), Qt::LeftButton); }
    std::vector<std::string> Messages() const override { return messages_; }
    testing_support::DevicePlace Place(std::string_view control) const override {
        const double ratio = form_.devicePixelRatioF();
        const QRect place = control == MainForm().name ? form_.rect() : Widget(control)->geometry();
        return {place.x() * ratio, place.y() * ratio, place.width() * ratio, place.height() * ratio};
    }
    double Dpi() const override { return form_.logicalDpiX() * form_.devicePixelRatioF(); }
    double Rounding() const override { return form_.devicePixelRatioF(); }  // one logical pixel
    QWidget* Widget(std::string_view control) const { return form_.findChild<QWidget*>(FromUtf8(control)); }

private:
    QtForm form_;
    QTimer answerer_;
    std::vector<std::string> messages_;
};

}  // namespace

std::unique_ptr<testing_support::FaceDriver> testing_support::StartFace(LinkOpener opener) {
    return std::make_unique<QtFace>(std::move(opener));
}

}  // namespace qmz
