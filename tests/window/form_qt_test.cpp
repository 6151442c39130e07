#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <set>
#include <string>
#include <vector>

#include "link/link_constants.hpp"
#include "link/utf8.hpp"
#include "qt/form.hpp"
#include "shell/open_link.hpp"
#include "tests/support/link_table.hpp"
#include "tests/support/paste_cases.hpp"
#include "tests/support/stand_in_handler.hpp"

namespace qmz {
namespace {

using testing_support::StandInHandler;

// QString::fromStdU16String would take a leading U+FEFF for a byte order mark and drop it.
QString QStringExactly(TextView text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

const QString PageLink = QString::fromStdU16String(Text(PageLinkPrefix) + u"ab12CD34");
const QString MediaLink = QString::fromStdU16String(Text(MediaLinkPrefix) + u"ab/ab12CD34.flv");

// The window as the user gets it: shown, active, with the real shell behind it unless a test
// records the requests instead.
class FormQtTest : public testing::Test {
protected:
    void Show(LinkOpener opener = {}) {
        if (!opener) {
            opener = std::bind_front(&LinkHandoff::Open, &handoff_);
        }
        form_ = std::make_unique<QtForm>(MainForm(), std::move(opener));
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }
    void RecordOpens() {
        Show([this](WindowHandle, std::u16string_view verb, std::u16string_view target, const NativePath&, const FailureReport&) {
            opened_.push_back(QString::fromStdU16String(std::u16string(verb)) + " " + QString::fromStdU16String(std::u16string(target)));
        });
    }
    template <typename Widget = QWidget>
    Widget* Control(const char* name) const {
        auto* widget = form_->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* Text1() const { return Control<QLineEdit>("Text1"); }
    void Click(const char* name) const { QTest::mouseClick(Control(name), Qt::LeftButton); }
    void Paste(const QString& text) const {
        QApplication::clipboard()->setText(text);
        Text1()->clear();
        QTest::keyClick(Text1(), Qt::Key_V, Qt::ControlModifier);
    }
    // Clicks a control and answers the message box it may bring up; gives the box's text.
    QString ClickAndReadMessage(const char* name) {
        QString message;
        QTimer::singleShot(0, [&message] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message = box->text();
                box->accept();
            }
        });
        Click(name);
        QApplication::processEvents();
        return message;
    }

    LinkHandoff handoff_;
    std::unique_ptr<QtForm> form_;
    std::vector<QString> opened_;
};

TEST_F(FormQtTest, WindowHasItsTitleFixedClientSizeAndIcon) {
    RecordOpens();
    ASSERT_EQ(form_->logicalDpiX(), 96);
    EXPECT_EQ(form_->windowTitle(), "QMZ");
    EXPECT_EQ(form_->size(), QSize(233, 87));
    EXPECT_EQ(form_->minimumSize(), QSize(233, 87));
    EXPECT_EQ(form_->maximumSize(), QSize(233, 87));
    EXPECT_FALSE(form_->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    const QImage icon = form_->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), QSize(32, 32));
    const struct {
        int x, y;
        QRgb colour;
    } pixels[] = {
        {0, 0, 0xFFFFFF00},   {1, 1, 0xFFFFFF00},   // the pole's tip
        {0, 2, 0xFF808000},   {1, 31, 0xFF808000},  // the pole
        {20, 4, 0xFFC0C0C0},  {10, 8, 0xFFFFFFFF},  // white band and its outline
        {15, 14, 0xFF00FF00}, {10, 12, 0xFFC0C0C0}, {2, 13, 0xFF008000},  // green band, outlines
        {15, 20, 0xFFFF0000}, {8, 24, 0xFF800000},  // red band and its outline
    };
    for (const auto& pixel : pixels) {
        EXPECT_EQ(icon.pixel(pixel.x, pixel.y), pixel.colour) << pixel.x << "," << pixel.y;
    }
    for (const QPoint transparent : {QPoint(31, 0), QPoint(2, 0), QPoint(31, 31), QPoint(31, 12), QPoint(20, 3), QPoint(5, 25)}) {
        EXPECT_EQ(qAlpha(icon.pixel(transparent)), 0) << transparent.x() << "," << transparent.y();
    }
}

TEST_F(FormQtTest, ControlsHaveTheirKindCaptionAndPlace) {
    RecordOpens();
    const struct {
        const char* name;
        const char* className;
        const char* caption;
        QRect pixels;
    } controls[] = {
        {"Text1", "QLineEdit", "", {8, 40, 217, 19}},
        {"Command1", "QPushButton", "Download", {168, 64, 61, 17}},
        {"Label1", "qmz::ClickableLabel", "VBOX", {8, 0, 89, 41}},
        {"Label2", "qmz::ClickableLabel", "7", {96, 0, 17, 33}},
        {"Label3", "qmz::ClickableLabel", "Still ownin' ya", {128, 0, 97, 17}},
        {"Label4", "qmz::ClickableLabel", "Quib", {128, 16, 81, 17}},
        {"Label5", "qmz::ClickableLabel", "Hi to the crew!", {1, 64, 97, 17}},
        {"Command2", "QPushButton", "Get Link", {104, 64, 57, 17}},
    };
    for (const auto& control : controls) {
        QWidget* widget = Control(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), control.className) << control.name;
        EXPECT_EQ(widget->geometry(), control.pixels) << control.name;
        const QVariant caption = widget->property("text");
        EXPECT_EQ(caption.toString(), control.caption) << control.name;
    }
    EXPECT_EQ(Text1()->maxLength(), std::numeric_limits<int>::max());
}

TEST_F(FormQtTest, FocusStartsInTheTextBoxAndTabVisitsOnlyTheButtons) {
    RecordOpens();
    EXPECT_EQ(QApplication::focusWidget(), Text1());
    const char* order[] = {"Command1", "Command2", "Text1", "Command1"};
    for (const char* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Control(next)) << next;
    }
    for (const char* label : {"Label1", "Label2", "Label3", "Label4", "Label5"}) {
        EXPECT_EQ(Control(label)->focusPolicy(), Qt::NoFocus) << label;
    }
}

TEST_F(FormQtTest, EnterAndEscapePressNoButton) {
    RecordOpens();
    for (const char* name : {"Command1", "Command2"}) {
        auto* button = Control<QPushButton>(name);
        EXPECT_FALSE(button->isDefault()) << name;
        EXPECT_FALSE(button->autoDefault()) << name;
    }
    Paste(PageLink);
    QTest::keyClick(Text1(), Qt::Key_Return);
    QTest::keyClick(Text1(), Qt::Key_Escape);
    EXPECT_EQ(Text1()->text(), PageLink);
    EXPECT_TRUE(opened_.empty());
    EXPECT_TRUE(form_->isVisible());
}

TEST_F(FormQtTest, BannerIsAHeavyLargeFaceInItsColours) {
    RecordOpens();
    for (const char* name : {"Label1", "Label2"}) {
        auto* label = Control<QLabel>(name);
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 20.25) << name;
        EXPECT_FALSE(label->font().italic() || label->font().underline() || label->font().strikeOut()) << name;
        const QFontInfo face(label->font());
        // Arial Black where the machine has it; otherwise a stand-in that is at least bold.
        EXPECT_TRUE(face.family() == "Arial Black" || face.weight() >= QFont::Bold) << qPrintable(face.family());
        EXPECT_TRUE(label->autoFillBackground()) << name;
    }
    EXPECT_EQ(Control("Label2")->palette().color(QPalette::WindowText), QColor(237, 15, 100));
    EXPECT_EQ(Control("Label1")->palette().color(QPalette::WindowText), form_->palette().color(QPalette::WindowText));
    EXPECT_EQ(Control("Label3")->font(), QApplication::font(Control("Label3")));
    EXPECT_TRUE(Control<QLabel>("Label4")->alignment().testFlag(Qt::AlignRight));
}

// The table that qmz-link's tests derive too: the window must agree with it on every text.
TEST_F(FormQtTest, GetLinkGivesTheSharedTablesLinkForEveryText) {
    RecordOpens();
    for (const auto& linkCase : testing_support::ReadLinkTable()) {
        SCOPED_TRACE("table line " + std::to_string(linkCase.lineNumber));
        Paste(QStringExactly(linkCase.input));
        ASSERT_EQ(Text1()->text().toStdU16String(), linkCase.input) << "the paste itself changed the text";
        Click("Command2");
        EXPECT_EQ(Text1()->text().toStdU16String(), linkCase.mediaLink.value_or(Text()));
    }
    EXPECT_TRUE(opened_.empty());
}

// The paste cases both faces share, pasted from the clipboard and dropped: the box keeps the text up
// to its first line break, and Download and Get Link work on what it kept.
TEST_F(FormQtTest, TheBoxTakesAPastedOrDroppedTextUpToItsFirstLineBreak) {
    RecordOpens();
    std::vector<QString> expectedOpens;
    for (const auto& paste : testing_support::PasteCases()) {
        for (const bool drop : {false, true}) {
            SCOPED_TRACE(std::string(paste.name) + (drop ? ", dropped" : ", pasted"));
            Text1()->setText(QStringExactly(paste.before));
            Text1()->setCursorPosition(static_cast<int>(paste.at));
            if (drop && paste.before.empty()) {
                QMimeData text;
                text.setText(QStringExactly(paste.pasted));
                QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
                QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(Text1(), &enter);
                QApplication::sendEvent(Text1(), &drop);
            } else {
                QApplication::clipboard()->setText(QStringExactly(paste.pasted));
                QTest::keyClick(Text1(), Qt::Key_V, Qt::ControlModifier);
            }
            ASSERT_EQ(Text1()->text().toStdU16String(), paste.kept);
            Click("Command1");
            Click("Command2");
            const auto mediaLink = DeriveMediaLink(paste.kept);
            EXPECT_EQ(Text1()->text().toStdU16String(), mediaLink.value_or(Text()));
            if (mediaLink) {
                expectedOpens.push_back("OPEN " + QString::fromStdU16String(*mediaLink));
            }
        }
    }
    EXPECT_EQ(opened_, expectedOpens);
}

TEST_F(FormQtTest, OnlyTheBannerLabelsAnswerClicks) {
    RecordOpens();
    Paste(PageLink);
    for (const char* decoration : {"Label3", "Label4", "Label5"}) {
        Click(decoration);
    }
    EXPECT_TRUE(opened_.empty());
    Click("Label1");
    Click("Label2");
    const QString home = "open " + QString::fromStdU16String(std::u16string(SiteHomeLink));
    EXPECT_EQ(opened_, (std::vector<QString>{home, home}));
    EXPECT_EQ(Text1()->text(), PageLink);
}

TEST_F(FormQtTest, DownloadAndTheBannerHandTheirLinksToTheDesktop) {
    const StandInHandler handler;
    Show();
    // Download twice on a page link, which stays in the box; on other text, nothing.
    Paste(PageLink);
    Click("Command1");
    Click("Command1");
    EXPECT_EQ(Text1()->text(), PageLink);
    for (const QString& text : {MediaLink, QString(), PageLink + " "}) {
        Paste(text);
        Click("Command1");
        EXPECT_EQ(Text1()->text(), text);
    }
    Click("Label1");
    Click("Label2");

    const std::string media = MediaLink.toStdString();
    const std::string home = ToUtf8(SiteHomeLink);
    const auto starts = handler.WaitForStarts(4);
    std::multiset<std::string> links;
    for (const auto& start : starts) {
        ASSERT_EQ(start.arguments.size(), 1u);
        links.insert(start.arguments[0]);
        EXPECT_EQ(start.workingFolder, QCoreApplication::applicationDirPath().toStdString());
    }
    EXPECT_EQ(links, (std::multiset<std::string>{media, media, home, home}));
}

TEST_F(FormQtTest, WithoutAHandlerDownloadIsSilentAndTheBannerSaysSo) {
    const StandInHandler noHandler(StandInHandler::Installed::No);
    Show();
    Paste(PageLink);
    EXPECT_EQ(ClickAndReadMessage("Command1"), "");
    const QString message = ClickAndReadMessage("Label1");
    EXPECT_TRUE(message.contains("No program to open web links")) << qPrintable(message);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(Text1()->text(), PageLink);
    // The window still works afterwards.
    Click("Command2");
    EXPECT_EQ(Text1()->text(), MediaLink);
}

// On a desktop with no browser set up, xdg-open starts and then says so (status 3): the banner's
// message comes whenever that outcome does, while the window goes on.
TEST_F(FormQtTest, TheBannerReportsADesktopThatCannotOpenLinksWhenItSaysSo) {
    const StandInHandler handler;
    setenv("QMZ_TEST_HANDLER_STATUS", "3", 1);
    Show();
    Paste(PageLink);
    Click("Label1");
    unsetenv("QMZ_TEST_HANDLER_STATUS");
    QString message;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&message] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text();
            box->accept();
        }
    });
    answerer.start(10);
    EXPECT_TRUE(QTest::qWaitFor([&message] { return !message.isEmpty(); }, 20000)) << "no message came";
    EXPECT_TRUE(message.startsWith("No program to open web links is set up")) << qPrintable(message);
    EXPECT_EQ(Text1()->text(), PageLink);
}

// Whatever a click's work throws, no exception leaves the click: Download stays silent, the banner
// reports, and the window keeps its text.
TEST_F(FormQtTest, NoExceptionLeavesAClick) {
    const std::function<void()> failures[] = {[] { throw std::bad_alloc(); }, [] { throw std::logic_error("broken"); }};
    for (const auto& fail : failures) {
        Show([&fail](WindowHandle, std::u16string_view, std::u16string_view, const NativePath&, const FailureReport&) { fail(); });
        Paste(PageLink);
        EXPECT_EQ(ClickAndReadMessage("Command1"), "");
        EXPECT_TRUE(ClickAndReadMessage("Label1").contains("could not be opened"));
        EXPECT_TRUE(form_->isVisible());
        EXPECT_EQ(Text1()->text(), PageLink);
    }
}

TEST_F(FormQtTest, TextBoxGivesBackExactlyWhatWasWritten) {
    RecordOpens();
    const Text texts[] = {u"", u"\uFEFFhttp://x", Text(u"\0a\0", 3), u"\xD800\xDC00\xDC00", u"\u202E\u200F\x7F", Text(70000, u'x')};
    for (const Text& text : texts) {
        form_->WritePageLinkBox(text);
        EXPECT_EQ(form_->ReadPageLinkBox(), text);
    }
}

TEST_F(FormQtTest, UnusualCharactersArriveWholeAndFollowTheSameRule) {
    const StandInHandler handler;
    Show();
    const Text page(PageLinkPrefix);
    const Text texts[] = {
        page + Text(u"ab\0\0CD34", 8),         // NUL inside the video ID
        page + u"\xD800" u"b12CD34",            // a lone high surrogate
        page + u"ab12CD3\xDC00",                // a lone low surrogate
        page + u"\u200F\u202Eab12CD",          // right-to-left mark and override
        page + u"\x01\x1B\x7F\x9F" u"ab12",   // control characters
        page + u"\tab12CD3",                    // a tab
        page.substr(0, 10) + u"\uFEFF" + page.substr(10) + u"ab12CD34",  // a byte order mark inside
        page + u"ab12CD34\u200B",               // a zero-width space behind
        Text(u"\0", 1),
        u"\xDC00",
    };
    std::size_t expectedStarts = 0;
    for (const Text& text : texts) {
        const QString qtext = QString::fromStdU16String(text);
        Paste(qtext);
        ASSERT_EQ(Text1()->text().toStdU16String(), text) << "the box did not take the pasted text whole";
        const auto mediaLink = DeriveMediaLink(text);
        // A NUL cannot travel in a program argument, so such a link is not handed over at all.
        if (mediaLink && mediaLink->find(u'\0') == Text::npos) {
            ++expectedStarts;
        }
        Click("Command1");
        EXPECT_EQ(Text1()->text(), qtext);
        Click("Command2");
        EXPECT_EQ(Text1()->text().toStdU16String(), mediaLink.value_or(Text()));
    }
    // A banner click marks the end: every start before it has been recorded once it shows up.
    Click("Label1");
    const auto starts = handler.WaitForStarts(expectedStarts + 1);
    ASSERT_EQ(starts.size(), expectedStarts + 1);
    std::multiset<std::string> received;
    for (const auto& start : starts) {
        received.insert(start.arguments.at(0));
    }
    std::multiset<std::string> expected{ToUtf8(SiteHomeLink)};
    for (const Text& text : texts) {
        if (const auto mediaLink = DeriveMediaLink(text); mediaLink && mediaLink->find(u'\0') == Text::npos) {
            expected.insert(ToUtf8(*mediaLink));
        }
    }
    EXPECT_EQ(received, expected);
}

}  // namespace
}  // namespace qmz
