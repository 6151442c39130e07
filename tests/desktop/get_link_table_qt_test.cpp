#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <memory>

#include "tests/support/link_table.hpp"
#include "window/form_qt.hpp"

namespace qmz {
namespace {

// QString::fromUtf16 would take a leading U+FEFF for a byte order mark and drop it; the table has
// a text that begins with one on purpose.
QString ToQStringExactly(TextView text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Every text of the table that qmz-link's tests also derive, pasted into the window and answered
// by a click on Get Link: the two must agree.
TEST(GetLinkTable, TheWindowGivesTheTablesLinkForEveryText) {
    QtForm form(MainForm(), [](WindowHandle, std::u16string_view, std::u16string_view, const std::filesystem::path&) {});
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* text1 = form.findChild<QLineEdit*>("Text1");
    auto* getLink = form.findChild<QWidget*>("Command2");
    ASSERT_NE(text1, nullptr);
    ASSERT_NE(getLink, nullptr);

    for (const auto& linkCase : testing_support::ReadLinkTable()) {
        SCOPED_TRACE("table line " + std::to_string(linkCase.lineNumber));
        const QString input = ToQStringExactly(linkCase.input);
        QApplication::clipboard()->setText(input);
        text1->clear();
        text1->setFocus();
        QTest::keyClick(text1, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(text1->text(), input) << "the paste itself changed the text";
        QTest::mouseClick(getLink, Qt::LeftButton);
        EXPECT_EQ(text1->text().toStdU16String(), linkCase.mediaLink.value_or(Text()));
    }
}

}  // namespace
}  // namespace qmz
