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
#include "qt/form.hpp"

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
                                                            const NativePath&, const FailureReport&) { opened_.emplace_back(target); });
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }
    QAccessibleInterface* Accessible(std::string_view name) const {
        QWidget* widget = form_->findChild<QWidget*>(ToQString(name));
        return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    }
    void Press(std::string_view name) const {
        QAccessibleInterface* control = Accessible(name);
        ASSERT_NE(control, nullptr);
        ASSERT_NE(control->actionInterface(), nullptr);
        ASSERT_TRUE(control->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        control->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }

    std::unique_ptr<QtForm> form_;
    std::vector<std::u16string> opened_;
};

// Every control is inside the window, visible, with its role and a name; the accessible texts live
// only in the accessibility interface, so nothing that is seen changes: no tooltip, no placeholder.
TEST_F(AccessibilityTest, ScreenReadersFindEveryControlWithItsRoleAndName) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form_.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->text(QAccessible::Name), "QMZ");
    for (const ControlDescription& control : MainForm().controls) {
        SCOPED_TRACE(std::string(control.name));
        QAccessibleInterface* accessible = Accessible(control.name);
        ASSERT_NE(accessible, nullptr);
        EXPECT_GE(window->indexOfChild(accessible), 0);
        EXPECT_FALSE(accessible->state().invisible);
        EXPECT_TRUE(accessible->object()->property("toolTip").toString().isEmpty());
        EXPECT_TRUE(accessible->object()->property("whatsThis").toString().isEmpty());
        const bool isLink = control.onClick == ClickAction::SiteLink;
        const QAccessible::Role role = control.kind == ControlKind::PushButton ? QAccessible::Button
                                       : control.kind == ControlKind::TextBox  ? QAccessible::EditableText
                                       : isLink                                ? QAccessible::Link
                                                                               : QAccessible::StaticText;
        EXPECT_EQ(accessible->role(), role);
        EXPECT_EQ(accessible->state().linked, isLink);
        EXPECT_EQ(accessible->text(QAccessible::Name),
                  control.kind == ControlKind::TextBox ? "Video page link" : ToQString(control.caption));
    }
    EXPECT_TRUE(form_->findChild<QLineEdit*>("Text1")->placeholderText().isEmpty());
    EXPECT_FALSE(form_->findChild<QWidget*>("Label1")->font().underline()) << "the banner still looks like text";

    // The text box says what to paste there, has the focus when the window opens, and reads its text.
    QAccessibleInterface* textBox = Accessible("Text1");
    EXPECT_TRUE(textBox->text(QAccessible::Description).startsWith("Paste the address of a video's page here."));
    EXPECT_TRUE(textBox->state().focused);
    form_->findChild<QLineEdit*>("Text1")->setText("some text");
    EXPECT_EQ(textBox->text(QAccessible::Value), "some text");
}

TEST_F(AccessibilityTest, TheBannerLinksAndGetLinkWorkThroughTheirAccessibleAction) {
    Press("Label1");
    Press("Label2");
    EXPECT_EQ(opened_, std::vector<std::u16string>(2, std::u16string(SiteHomeLink)));

    auto* text1 = form_->findChild<QLineEdit*>("Text1");
    text1->setText(QString::fromStdU16String(std::u16string(PageLinkPrefix) + u"ab12CD34"));
    Press("Command2");
    // A button pressed this way shows itself pressed for a moment before it clicks.
    const QString mediaLink = QString::fromStdU16String(std::u16string(MediaLinkPrefix) + u"ab/ab12CD34.flv");
    EXPECT_TRUE(QTest::qWaitFor([&] { return text1->text() == mediaLink; }, 5000)) << text1->text().toStdString();
}

}  // namespace
}  // namespace qmz
