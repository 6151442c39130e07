#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "link/link_constants.hpp"
#include "window/form_qt.hpp"

namespace qmz {
namespace {

QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The window as a screen reader meets it: through Qt's accessibility interface only.
class AccessibilityTest : public testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<QtForm>(MainForm(), [this](WindowHandle, std::u16string_view, std::u16string_view target,
                                                            const std::filesystem::path&) { opened_.emplace_back(target); });
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }
    QAccessibleInterface* Accessible(const ControlDescription& control) const {
        QWidget* widget = form_->findChild<QWidget*>(ToQString(control.name));
        return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    }

    std::unique_ptr<QtForm> form_;
    std::vector<std::u16string> opened_;
};

TEST_F(AccessibilityTest, TheWindowIsAnnouncedByItsTitleWithEveryControlInside) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form_.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->text(QAccessible::Name), "QMZ");
    std::vector<QString> names;
    for (int i = 0; i < window->childCount(); ++i) {
        names.push_back(window->child(i)->object()->objectName());
    }
    for (const ControlDescription& control : MainForm().controls) {
        EXPECT_NE(std::ranges::find(names, ToQString(control.name)), names.end()) << control.name;
    }
}

TEST_F(AccessibilityTest, EveryControlHasARoleAndAName) {
    for (const ControlDescription& control : MainForm().controls) {
        SCOPED_TRACE(std::string(control.name));
        QAccessibleInterface* accessible = Accessible(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty());
        EXPECT_FALSE(accessible->state().invisible);
        switch (control.kind) {
            case ControlKind::PushButton:
                EXPECT_EQ(accessible->role(), QAccessible::Button);
                EXPECT_EQ(accessible->text(QAccessible::Name), ToQString(control.caption));
                break;
            case ControlKind::TextBox:
                EXPECT_EQ(accessible->role(), QAccessible::EditableText);
                break;
            case ControlKind::Label:
                EXPECT_EQ(accessible->role(),
                          control.onClick == ClickAction::SiteLink ? QAccessible::Link : QAccessible::StaticText);
                EXPECT_EQ(accessible->text(QAccessible::Name), ToQString(control.caption));
                break;
        }
    }
}

TEST_F(AccessibilityTest, TheTextBoxSaysWhatToPasteThereAndReadsItsText) {
    QAccessibleInterface* textBox = Accessible(FindControl(MainForm(), "Text1"));
    ASSERT_NE(textBox, nullptr);
    EXPECT_EQ(textBox->text(QAccessible::Name), "Video page link");
    EXPECT_TRUE(textBox->text(QAccessible::Description).startsWith("Paste the address of a video's page here."));
    EXPECT_TRUE(textBox->state().focusable);
    EXPECT_TRUE(textBox->state().focused) << "the text box has the focus when the window opens";
    form_->findChild<QLineEdit*>("Text1")->setText("some text");
    EXPECT_EQ(textBox->text(QAccessible::Value), "some text");
}

TEST_F(AccessibilityTest, TheButtonsAndTheBannerLinksWorkThroughTheirAccessibleAction) {
    for (const char* name : {"Label1", "Label2"}) {
        QAccessibleInterface* link = Accessible(FindControl(MainForm(), name));
        ASSERT_NE(link, nullptr);
        EXPECT_TRUE(link->state().linked) << name;
        QAccessibleActionInterface* actions = link->actionInterface();
        ASSERT_NE(actions, nullptr) << name;
        ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction())) << name;
        actions->doAction(QAccessibleActionInterface::pressAction());
    }
    EXPECT_EQ(opened_, std::vector<std::u16string>(2, std::u16string(SiteHomeLink)));

    auto* text1 = form_->findChild<QLineEdit*>("Text1");
    text1->setText(QString::fromStdU16String(std::u16string(PageLinkPrefix) + u"ab12CD34"));
    QAccessibleInterface* getLink = Accessible(FindControl(MainForm(), "Command2"));
    ASSERT_NE(getLink->actionInterface(), nullptr);
    getLink->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // A button pressed this way shows itself pressed for a moment before it clicks.
    const std::u16string mediaLink = std::u16string(MediaLinkPrefix) + u"ab/ab12CD34.flv";
    for (int waited = 0; waited < 5000 && text1->text().toStdU16String() != mediaLink; waited += 10) {
        QTest::qWait(10);
    }
    EXPECT_EQ(text1->text().toStdU16String(), mediaLink);
}

TEST_F(AccessibilityTest, NothingThatIsSeenChanges) {
    // The accessible texts live only in the accessibility interface: no placeholder, no tooltip.
    for (const ControlDescription& control : MainForm().controls) {
        QWidget* widget = form_->findChild<QWidget*>(ToQString(control.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->toolTip().isEmpty()) << control.name;
        EXPECT_TRUE(widget->whatsThis().isEmpty()) << control.name;
    }
    EXPECT_TRUE(form_->findChild<QLineEdit*>("Text1")->placeholderText().isEmpty());
    EXPECT_TRUE(form_->findChild<QLineEdit*>("Text1")->text().isEmpty());
    EXPECT_FALSE(form_->findChild<QWidget*>("Label1")->font().underline()) << "the banner still looks like text";
}

}  // namespace
}  // namespace qmz
