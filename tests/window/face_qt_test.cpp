// The Qt face under test, offscreen (or on the platform a test run asks for): its driver for the shared
// cases, its own case and the test program's main. The user's own journeys through it (clicks,
// keys, the real handler, a screen reader's view through AT-SPI) are in tests/journeys.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <malloc.h>

#include "qt/form.hpp"
#include "qt/one_line_box.hpp"
#include "tests/window/face_driver.hpp"

namespace qmz {
namespace {

using testing_support::BoxKey;
using testing_support::WayIn;
using testing_support::WayOut;

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
    bool MoveToDensity(int /*dpi*/) override { return false; }
    void PlaceCursor(int at) override { Box().setCursorPosition(at); }
    bool Bring(WayIn way, TextView text) override {
        const QString incoming = QStringView(text).toString();  // every code unit as it is
        const QPoint cursor = Box().inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QMimeData dragged;
        dragged.setText(incoming);
        QDragEnterEvent enter(cursor, Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QDropEvent drop(cursor, Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QInputMethodEvent commit;
        commit.setCommitString(incoming);
        switch (way) {
            case WayIn::PasteKeys:
                QApplication::clipboard()->setText(incoming);
                QTest::keySequence(&Box(), QKeySequence::Paste);
                return true;
            case WayIn::MiddleButton:
                QApplication::clipboard()->setText(incoming, QClipboard::Selection);
                QTest::mouseClick(&Box(), Qt::MiddleButton, {}, cursor);
                return QApplication::clipboard()->supportsSelection();
            case WayIn::Drop:
                return QApplication::sendEvent(&Box(), &enter) && QApplication::sendEvent(&Box(), &drop);
            case WayIn::InputMethod:
                return QApplication::sendEvent(&Box(), &commit);
            case WayIn::ReaderInsert:  // what AT-SPI's InsertText does
                Reader().editableTextInterface()->insertText(Reader().textInterface()->cursorPosition(), incoming);
                return true;
            case WayIn::ReaderSet:  // what AT-SPI's SetTextContents does
                Reader().editableTextInterface()->replaceText(0, Reader().textInterface()->characterCount(), incoming);
                return true;
            default:
                form_.WritePageLinkBox(text);
                return true;
        }
    }
    std::optional<Text> TakeOut(WayOut way) override {
        QClipboard& clipboard = *QApplication::clipboard();
        clipboard.clear();
        QTest::keySequence(&Box(), QKeySequence::SelectAll);
        // AT-SPI's CopyText and CutText take the range's text, and for a cut then delete the range.
        const QString read = Reader().textInterface()->text(0, Reader().textInterface()->characterCount());
        switch (way) {
            case WayOut::CopyKeys:
            case WayOut::CutKeys:
                QTest::keySequence(&Box(), way == WayOut::CopyKeys ? QKeySequence::Copy : QKeySequence::Cut);
                return clipboard.text().toStdU16String();
            case WayOut::XSelection:
                return clipboard.supportsSelection() ? std::optional(clipboard.text(QClipboard::Selection).toStdU16String()) : std::nullopt;
            case WayOut::ReaderCut:
                Reader().editableTextInterface()->deleteText(0, static_cast<int>(read.size()));
                [[fallthrough]];
            case WayOut::ReaderCopy:
                return read.toStdU16String();
            default:
                return form_.ReadPageLinkBox();
        }
    }
    void PressInBox(BoxKey key) override { QTest::keySequence(&Box(), key == BoxKey::Undo ? QKeySequence::Undo : QKeySequence::Redo); }
    std::optional<std::size_t> HeapInUse() const override {
#if defined(__SANITIZE_ADDRESS__)
        return std::nullopt;
#else
        const struct mallinfo2 heap = mallinfo2();
        return heap.uordblks + heap.hblkhd;
#endif
    }
    QWidget* Widget(std::string_view control) const { return form_.findChild<QWidget*>(QString::fromUtf8(control)); }
    OneLineBox& Box() const { return *form_.findChild<OneLineBox*>(); }

private:
    QAccessibleInterface& Reader() const { return *QAccessible::queryAccessibleInterface(&Box()); }

    QtForm form_;
    QTimer answerer_;
    std::vector<std::string> messages_;
};

// A text too long for the widget is one unit. The box shows its beginning, "…" and its end, in
// whole characters and within its width; typing or deleting replaces it whole (how it leaves,
// whole, is the shared cases'), and Undo brings it back.
TEST(FaceQt, ALongTextIsOneUnitShownByItsEnds) {
    QtFace face({});
    const Text text = testing_support::LongText(100'000);
    face.Form().WritePageLinkBox(text);
    const QString shown = face.Box().placeholderText();
    EXPECT_TRUE(face.Box().text().isEmpty() && shown.isValidUtf16()) << "the widget holds the text, or its rendering splits a character";
    EXPECT_TRUE(shown.startsWith(u"\u2026\U000E0041") && shown.endsWith(u"\U000E0041\u2026") && shown.count(u'\u2026') == 3)
        << shown.toStdString();
    EXPECT_LE(face.Box().fontMetrics().horizontalAdvance(shown), face.Box().contentsRect().width());
    for (const auto& [keys, left] : {std::pair(QStringLiteral("typed"), QStringLiteral("typed")), std::pair(QStringLiteral("\b"), QString())}) {
        QTest::keyClicks(&face.Box(), keys);
        EXPECT_EQ(face.Box().WholeText(), left);
        face.PressInBox(BoxKey::Undo);
        EXPECT_TRUE(face.Form().ReadPageLinkBox() == text) << "Undo did not bring the text back after " << left.toStdString();
    }
}

}  // namespace

std::unique_ptr<testing_support::FaceDriver> testing_support::StartFace(LinkOpener opener) {
    return std::make_unique<QtFace>(std::move(opener));
}

}  // namespace qmz

// Runs the cases inside a QApplication, as the program runs its window: on the offscreen platform,
// whatever the desktop's QT_QPA_PLATFORM, unless a test run asks for another by QMZ_TEST_PLATFORM.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("QMZ_TEST_PLATFORM") ? "offscreen" : qgetenv("QMZ_TEST_PLATFORM"));
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
