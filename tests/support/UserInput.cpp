#include "tests/support/UserInput.h"

#include <string>

#include <QApplication>
#include <QLineEdit>
#include <QString>
#include <QtTest/QTest>

#include "platform/ui/core/UpDown.h"
#include "resources/strings/StringFormat.h"
#include "tests/support/PumpEvents.h"

namespace test_support {

namespace {

void DeliverMessages()
{
    test_support::DeliverAllPostedMessages();
    QCoreApplication::sendPostedEvents();
    test_support::DeliverAllPostedMessages();
}

}  // namespace

void TypeAndLeave(QLineEdit& edit, std::string_view text, Leave leave)
{
    QApplication::setActiveWindow(edit.window());
    edit.setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(edit.hasFocus()) << "the edit cannot take the focus";
    edit.selectAll();
    QTest::keyClicks(&edit, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    QTest::keyClick(&edit, leave == Leave::Enter ? Qt::Key_Return : Qt::Key_Tab);
    if (leave == Leave::Tab) {
        EXPECT_FALSE(edit.hasFocus()) << "Tab did not move the focus on";
    }
    DeliverMessages();
}

void ClickSpinToEnd(platform::UpDown& spin, int direction)
{
    const int end = direction > 0 ? spin.Upper() : spin.Lower();
    const int start = direction > 0 ? spin.Lower() : spin.Upper();
    spin.SetPos32(start < end ? end - 1 : end + 1);
    const QPoint arrow = direction > 0 ? spin.UpRect().center() : spin.DownRect().center();
    QTest::mousePress(&spin, Qt::LeftButton, {}, arrow);
    QTest::mouseRelease(&spin, Qt::LeftButton, {}, arrow);
    DeliverMessages();
}

testing::AssertionResult TypesBackTheShownEnd(const ShownEnd& end)
{
    const Leave leave = end.direction > 0 ? Leave::Enter : Leave::Tab;
    TypeAndLeave(end.edit, end.inside, leave);
    ClickSpinToEnd(end.spin, end.direction);
    const float held = end.held();
    const std::string shown = end.edit.text().toStdString();
    const std::string beyond = FormatString(end.format, std::stod(shown) + end.direction * end.displayStep);
    for (const std::string& typed : {std::string(end.inside), shown, beyond}) {
        TypeAndLeave(end.edit, typed, leave);
        const bool inside = typed == end.inside;
        if ((end.held() == held) == inside || (end.edit.text().toStdString() == shown) == inside) {
            return testing::AssertionFailure() << "typed " << typed << " at the end shown as " << shown << " ("
                                               << held << "): holds " << end.held() << ", shows "
                                               << end.edit.text().toStdString();
        }
    }
    return testing::AssertionSuccess();
}

}  // namespace test_support
