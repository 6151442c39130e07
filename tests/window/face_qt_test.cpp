// The Qt face under test, offscreen: its driver for the shared cases, its own case and the test
// program's main. The user's own journeys through it (clicks, keys, the real handler, a screen
// reader's view) are in tests/journeys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <malloc.h>

#include <tuple>

#include "qt/folded_text.hpp"
#include "qt/form.hpp"
#include "tests/window/face_driver.hpp"

namespace qmz {
namespace {

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
    void PressInBox(testing_support::BoxKey key) override {
        // In BoxKey's order.
        const QKeySequence::StandardKey keys[] = {QKeySequence::Paste, QKeySequence::Undo, QKeySequence::SelectAll, QKeySequence::Copy};
        QTest::keySequence(Widget("Text1"), keys[static_cast<int>(key)]);
    }
    // Every code unit as it is: QString::fromUtf16 would take a leading U+FEFF for a byte order mark.
    void SetClipboard(TextView text) override { QApplication::clipboard()->setText(QStringView(text).toString()); }
    Text Clipboard() override { return QApplication::clipboard()->text().toStdU16String(); }
    std::optional<std::size_t> HeapInUse() const override {
#if defined(__SANITIZE_ADDRESS__)
        return std::nullopt;
#else
        const struct mallinfo2 heap = mallinfo2();
        return heap.uordblks + heap.hblkhd;
#endif
    }
    QWidget* Widget(std::string_view control) const { return form_.findChild<QWidget*>(QString::fromUtf8(control)); }

private:
    QtForm form_;
    QTimer answerer_;
    std::vector<std::string> messages_;
};

// The box follows the widget's edits next to a fold by where the cursor was and went, where the text
// alone cannot tell which "…" went or came: the fold or a "…" of the text.
TEST(FaceQt, TheBoxTellsAFoldFromAnEllipsisOfTheTextNextToIt) {
    // The view after the edit, the cursor before and after it, and the text it stands for.
    const std::tuple<QStringView, int, int, QStringView> edits[] = {
        {u"x\u2026y", 2, 1, u"xlongy"},                        // Backspace after the "…" of the text
        {u"x\u2026y", 3, 2, u"x\u2026y"},                      // Backspace after the fold
        {u"x\u2026y", 1, 1, u"xlongy"},                        // Delete before the "…" of the text
        {u"x\u2026\u2026\u2026y", 2, 3, u"x\u2026\u2026longy"},  // a "…" typed between them
    };
    for (const auto& [after, cursorBefore, cursorAfter, expected] : edits) {
        // A "…" of the text, then a fold of "long".
        FoldedText text{QStringLiteral(u"x\u2026\u2026y"), {{QString(FoldedText::Fold)}, {QStringLiteral("long")}}};
        const ViewEdit found = FindEdit(text.view, after.toString(), -1, -1, cursorBefore, cursorAfter);
        text.Follow(after.toString(), found.from, found.to, found.inserted);
        EXPECT_EQ(text.Unfolded(0, text.view.size()), expected.toString()) << cursorBefore;
    }
}

}  // namespace

std::unique_ptr<testing_support::FaceDriver> testing_support::StartFace(LinkOpener opener) {
    return std::make_unique<QtFace>(std::move(opener));
}

}  // namespace qmz

// Runs the cases inside a QApplication, as the program runs its window: on the offscreen platform
// unless another is asked for.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
