// The Qt face under test, offscreen (or on the platform a test run asks for): its driver for the
// shared cases, its box's own cases and the test program's main. The user's own journeys through
// it (clicks, keys, the real handler, a screen reader's view through AT-SPI) are in tests/journeys.
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

// How a text comes into the box: a paste by keys or by the middle button (the X selection), a
// drop, an input method's commit and a screen reader's insertion, all at the cursor; and a screen
// reader's setting of the text and Get Link's write, in place of the whole text.
enum class WayIn { PasteKeys, MiddleButton, Drop, InputMethod, ReaderInsert, ReaderSet, Write, End };
// How the whole text leaves it, selected first where that takes a selection: copied or cut by keys,
// into the X selection, copied or cut by a screen reader, and read by the actions.
enum class WayOut { CopyKeys, CutKeys, XSelection, ReaderCopy, ReaderCut, Read, End };

// size characters (five million, ten megabytes, unless asked) that a box might take for its own: a
// "…" at each end and in the middle, and 200 characters of two code units after the first and before
// the last, so that a cut near either end to show the text falls between the two units of a
// character at every other offset. Those characters (tag letters) take no room, so that the box
// shows as many of them as it takes.
Text LongText(std::size_t size = 5'000'000) {
    Text tags;
    for (int i = 0; i < 200; ++i) {
        tags += u"\U000E0041";
    }
    Text text = u"\u2026" + tags + Text(size - 2 * tags.size() - 2, u'x') + tags + u"\u2026";
    text[size / 2] = u'\u2026';
    return text;
}

// The bytes the process's heap holds in use; none under AddressSanitizer, whose allocator hides them.
std::size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return 0;
#else
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
#endif
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
    bool MoveToDensity(int /*dpi*/) override { return false; }
    // Brings text into the box (through the clipboard where the way takes it from there); false
    // where this run has no such way.
    bool Bring(WayIn way, TextView text) {
        const QString incoming = QStringView(text).toString();  // every code unit as it is
        const QPoint cursor = Box().inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QMimeData dragged;
        dragged.setText(incoming);
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
                return QApplication::sendEvent(&Box(), &drop);
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
    // The text that leaves the box; none where this run has no such way.
    std::optional<Text> TakeOut(WayOut way) {
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
    void Press(QKeySequence::StandardKey keys) { QTest::keySequence(&Box(), keys); }
    Text Read() { return form_.ReadPageLinkBox(); }
    QWidget* Widget(std::string_view control) const { return form_.findChild<QWidget*>(QString::fromUtf8(control)); }
    OneLineBox& Box() const { return *form_.findChild<OneLineBox*>(); }

private:
    QAccessibleInterface& Reader() const { return *QAccessible::queryAccessibleInterface(&Box()); }

    QtForm form_;
    QTimer answerer_;
    std::vector<std::string> messages_;
};

// Whatever way a text comes in, the box takes it whole up to its first line break (LF, CR or CRLF),
// five million characters as well, at a cost in memory of a few times their size (a box that lays
// all of it out costs over thirty), as one step that Undo takes back and Redo brings again (Get
// Link's write, like any program's setting of a box's text, is no step to undo). Each way out gives
// the whole text exactly, with its "…" and the characters of two units where a box might cut it
// short to show it; a cut leaves the box empty, and Undo brings the text back.
TEST(FaceQt, EveryWayInAndOutTakesTheFirstLineWholeAsOneStep) {
    QtFace face({});
    const Text text = LongText();
    const Text breaks[] = {u"\n", u"\r", u"\r\n"};
    for (int way = 0; way < static_cast<int>(WayIn::End); ++way) {
        face.Form().WritePageLinkBox(u"ab");
        face.Box().setCursorPosition(1);
        const std::size_t before = HeapInUse();
        if (!face.Bring(WayIn(way), text + breaks[way % 3] + u"rest")) {
            continue;
        }
        const std::size_t after = HeapInUse();
        const Text taken = WayIn(way) >= WayIn::ReaderSet ? text : u"a" + text + u"b";
        const auto out = WayOut(way % static_cast<int>(WayOut::End));
        SCOPED_TRACE("way in " + std::to_string(way) + ", way out " + std::to_string(static_cast<int>(out)));
        EXPECT_TRUE(face.Read() == taken) << "the text came in otherwise";
        EXPECT_LT(after, before + 4 * text.size() * sizeof(char16_t) + 65536) << "bytes in use before: " << before;
        EXPECT_TRUE(face.TakeOut(out).value_or(taken) == taken) << "the text went out otherwise";
        if (out == WayOut::CutKeys || out == WayOut::ReaderCut) {
            EXPECT_EQ(face.Read(), Text());
            face.Press(QKeySequence::Undo);
        }
        face.Press(QKeySequence::Undo);
        EXPECT_TRUE(face.Read() == (WayIn(way) == WayIn::Write ? taken : u"ab")) << "after Undo";
        face.Press(QKeySequence::Redo);
        EXPECT_TRUE(face.Read() == taken) << "after Redo";
    }
}

// A text too long for the widget is one unit. The box shows its beginning, "…" and its end, in
// whole characters and within its width; typing or deleting replaces it whole (how it leaves,
// whole, is the shared cases'), and Undo brings it back.
TEST(FaceQt, ALongTextIsOneUnitShownByItsEnds) {
    QtFace face({});
    const Text text = LongText(100'000);
    face.Form().WritePageLinkBox(text);
    const QString shown = face.Box().placeholderText();
    EXPECT_TRUE(face.Box().text().isEmpty() && shown.isValidUtf16()) << "the widget holds the text, or its rendering splits a character";
    EXPECT_TRUE(shown.startsWith(u"\u2026\U000E0041") && shown.endsWith(u"\U000E0041\u2026") && shown.count(u'\u2026') == 3)
        << shown.toStdString();
    EXPECT_LE(face.Box().fontMetrics().horizontalAdvance(shown), face.Box().contentsRect().width());
    for (const auto& [keys, left] : {std::pair(QStringLiteral("typed"), QStringLiteral("typed")), std::pair(QStringLiteral("\b"), QString())}) {
        QTest::keyClicks(&face.Box(), keys);
        EXPECT_EQ(face.Box().WholeText(), left);
        face.Press(QKeySequence::Undo);
        EXPECT_TRUE(face.Read() == text) << "Undo did not bring the text back after " << left.toStdString();
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
