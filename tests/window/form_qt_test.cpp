#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/derive_media_link.hpp"
#include "link/link_constants.hpp"
#include "qt/form.hpp"
#include "shell/open_link.hpp"
#include "tests/support/link_table.hpp"
#include "tests/support/paste_cases.hpp"
#include "tests/support/stand_in_handler.hpp"

// The Qt window offscreen, as the runtime and a screen reader meet it. The user's own journeys
// through it (clicks, keys, the real handler) are in tests/journeys.
namespace qmz {
namespace {

using testing_support::StandInHandler;

// QString::fromStdU16String would take a leading U+FEFF for a byte order mark and drop it.
QString QStringExactly(TextView text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}
QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QString PageLink = QStringExactly(Text(PageLinkPrefix) + u"ab12CD34");

class FormQtTest : public testing::Test {
protected:
    // The window with the real hand-off behind it, or with opener, which records what it is given.
    void Show(LinkOpener opener = {}) {
        if (!opener) {
            opener = std::bind_front(&LinkHandoff::Open, &handoff_);
        }
        form_ = std::make_unique<QtForm>(MainForm(), std::move(opener));
        form_->show();
        form_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        // Every message box is answered, and its text kept, whenever it comes.
        QObject::connect(&answerer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages_.push_back(box->text());
                box->accept();
            }
        });
        answerer_.start(10);
    }
    void RecordOpens() {
        Show([this](WindowHandle, std::u16string_view verb, std::u16string_view target, const NativePath&, const FailureReport&) {
            opened_.push_back(QStringExactly(verb) + " " + QStringExactly(target));
        });
    }
    QWidget* Control(std::string_view name) const { return form_->findChild<QWidget*>(FromUtf8(name)); }
    QLineEdit* Box() const { return form_->findChild<QLineEdit*>("Text1"); }
    void Click(const char* name) const { QTest::mouseClick(Control(name), Qt::LeftButton); }
    void Paste(const QString& text) const {
        QApplication::clipboard()->setText(text);
        Box()->clear();
        QTest::keyClick(Box(), Qt::Key_V, Qt::ControlModifier);
    }

    LinkHandoff handoff_;
    QTimer answerer_;
    std::unique_ptr<QtForm> form_;
    std::vector<QString> opened_;
    std::vector<QString> messages_;
};

// The table that the derivation and qmz-link are held to as well.
TEST_F(FormQtTest, GetLinkGivesTheSharedTablesLinkForEveryText) {
    RecordOpens();
    for (const auto& linkCase : testing_support::ReadLinkTable()) {
        SCOPED_TRACE("table line " + std::to_string(linkCase.lineNumber));
        Paste(QStringExactly(linkCase.input));
        ASSERT_EQ(Box()->text().toStdU16String(), linkCase.input) << "the paste itself changed the text";
        Click("Command2");
        EXPECT_EQ(Box()->text().toStdU16String(), linkCase.mediaLink.value_or(Text()));
    }
    EXPECT_TRUE(opened_.empty());
}

// The paste cases both faces share, pasted from the clipboard and dropped: the box keeps the text
// up to its first line break, and Download and Get Link work on what it kept.
TEST_F(FormQtTest, TheBoxTakesAPastedOrDroppedTextUpToItsFirstLineBreak) {
    RecordOpens();
    std::vector<QString> expectedOpens;
    for (const auto& paste : testing_support::PasteCases()) {
        for (const bool drop : {false, true}) {
            SCOPED_TRACE(std::string(paste.name) + (drop ? ", dropped" : ", pasted"));
            Box()->setText(QStringExactly(paste.before));
            Box()->setCursorPosition(static_cast<int>(paste.at));
            if (drop && paste.before.empty()) {
                QMimeData text;
                text.setText(QStringExactly(paste.pasted));
                QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
                QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(Box(), &enter);
                QApplication::sendEvent(Box(), &drop);
            } else {
                QApplication::clipboard()->setText(QStringExactly(paste.pasted));
                QTest::keyClick(Box(), Qt::Key_V, Qt::ControlModifier);
            }
            ASSERT_EQ(Box()->text().toStdU16String(), paste.kept);
            Click("Command1");
            Click("Command2");
            const auto mediaLink = DeriveMediaLink(paste.kept);
            EXPECT_EQ(Box()->text().toStdU16String(), mediaLink.value_or(Text()));
            if (mediaLink) {
                expectedOpens.push_back("OPEN " + QStringExactly(*mediaLink));
            }
        }
    }
    EXPECT_EQ(opened_, expectedOpens);
}

// No xdg-open at all, or one that starts and then says no browser is set up (status 3): the
// banner says so whenever it learns it; Download stays silent; the window keeps its text.
TEST_F(FormQtTest, TheBannerSaysWhenNoProgramCanOpenLinks) {
    for (const auto installed : {StandInHandler::Installed::No, StandInHandler::Installed::Yes}) {
        const StandInHandler handler(installed);
        setenv("QMZ_TEST_HANDLER_STATUS", "3", 1);
        messages_.clear();
        Show();
        Paste(PageLink);
        Click("Command1");
        Click("Label1");
        unsetenv("QMZ_TEST_HANDLER_STATUS");
        ASSERT_TRUE(QTest::qWaitFor([this] { return !messages_.empty(); }, 20000)) << "no message came";
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_TRUE(messages_[0].startsWith("No program to open web links")) << qPrintable(messages_[0]);
        EXPECT_EQ(Box()->text(), PageLink);
    }
}

// Whatever a click's work throws, no exception leaves the click: Download stays silent, the banner
// reports, and the window keeps its text.
TEST_F(FormQtTest, NoExceptionLeavesAClick) {
    const std::function<void()> failures[] = {[] { throw std::bad_alloc(); }, [] { throw std::logic_error("broken"); }};
    for (const auto& fail : failures) {
        messages_.clear();
        Show([&fail](WindowHandle, std::u16string_view, std::u16string_view, const NativePath&, const FailureReport&) { fail(); });
        Paste(PageLink);
        Click("Command1");
        EXPECT_TRUE(messages_.empty());
        Click("Label1");
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_TRUE(messages_[0].contains("could not be opened"));
        EXPECT_EQ(Box()->text(), PageLink);
    }
}

TEST_F(FormQtTest, TheBoxGivesBackExactlyWhatWasWritten) {
    RecordOpens();
    const Text texts[] = {u"", u"\uFEFFhttp://x", Text(u"\0a\0", 3), u"\xD800\xDC00\xDC00", u"\u202E\u200F\x7F", Text(70000, u'x')};
    for (const Text& text : texts) {
        form_->WritePageLinkBox(text);
        EXPECT_EQ(form_->ReadPageLinkBox(), text);
    }
}

// A screen reader finds every control with its role and the description's name, the banner as
// links, and presses the banner and the buttons through their actions.
TEST_F(FormQtTest, ScreenReadersNameEveryControlAndPressTheBannerAndButtons) {
    RecordOpens();
    Paste(PageLink);
    for (const ControlDescription& control : MainForm().controls) {
        SCOPED_TRACE(std::string(control.name));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Control(control.name));
        ASSERT_NE(accessible, nullptr);
        const bool isLink = control.onClick == ClickAction::SiteLink;
        const QAccessible::Role role = control.kind == ControlKind::PushButton ? QAccessible::Button
                                       : control.kind == ControlKind::TextBox  ? QAccessible::EditableText
                                       : isLink                                ? QAccessible::Link
                                                                               : QAccessible::StaticText;
        EXPECT_EQ(accessible->role(), role);
        EXPECT_EQ(accessible->state().linked, isLink);
        EXPECT_EQ(accessible->text(QAccessible::Name), FromUtf8(control.accessibleName.empty() ? control.caption : control.accessibleName));
        EXPECT_EQ(accessible->text(QAccessible::Description), FromUtf8(control.accessibleDescription));
        if (control.onClick != ClickAction::None) {
            ASSERT_NE(accessible->actionInterface(), nullptr);
            accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
    }
    // A button pressed this way shows itself pressed for a moment before it clicks.
    const QString mediaLink = QStringExactly(Text(MediaLinkPrefix) + u"ab/ab12CD34.flv");
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened_.size() == 3 && Box()->text() == mediaLink; }, 5000));
    std::ranges::sort(opened_);
    const QString home = "open " + QStringExactly(SiteHomeLink);
    EXPECT_EQ(opened_, (std::vector<QString>{"OPEN " + mediaLink, home, home}));
}

}  // namespace
}  // namespace qmz
