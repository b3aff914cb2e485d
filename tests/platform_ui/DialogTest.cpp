// Dialogs from templates: the pixel size the dialog units give, controls by id and in
// template order, placeholders replaced, notices, Enter and Escape, and modal end codes.
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/Dialog.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/core/ModalState.h"
#include "platform/ui/core/UpDown.h"
#include "tests/platform_ui/TestDialogTemplate.h"
#include "tests/support/ModalDriver.h"

using namespace platform;
using namespace test_templates;

namespace {

const MessageId kEndWith = RegisterMessage("platform_ui_test_end_with");

class RecordingDialog : public Dialog {
public:
    explicit RecordingDialog(Kind kind, QWidget* parent = nullptr, bool panel = false)
        : Dialog(kTestDialog, kind, parent), m_panel(panel)
    {
    }

    std::vector<std::string> notices;
    bool endInInit = false;

    void OnButtonClicked(std::int32_t id) override { notices.push_back("click " + std::to_string(id)); }
    void OnEditChanged(std::int32_t id) override { notices.push_back("edit " + std::to_string(id)); }
    void OnComboSelChange(std::int32_t id) override { notices.push_back("combo " + std::to_string(id)); }
    void OnSpinScroll(std::int32_t id, int code, int position) override
    {
        notices.push_back("spin " + std::to_string(id) + " " + std::to_string(code) + " " + std::to_string(position));
    }
    void OnOK() override
    {
        notices.push_back("ok");
        if (!m_panel) {
            Dialog::OnOK();
        }
    }
    void OnCancel() override
    {
        notices.push_back("cancel");
        if (!m_panel) {
            Dialog::OnCancel();
        }
    }
    std::intptr_t OnMessage(MessageId message, std::uintptr_t wParam, std::intptr_t) override
    {
        if (message == kEndWith) {
            EndDialog(static_cast<int>(wParam));
        }
        return 0;
    }

protected:
    bool OnInitDialog() override
    {
        if (endInInit) {
            EndDialog(-2);
        }
        return true;
    }

private:
    bool m_panel;
};

void RunUnscriptedDialog()
{
    ModalDriver driver;
    RecordingDialog dialog(Dialog::Kind::Modal);
    EXPECT_EQ(dialog.DoModal(), DialogId::kCancel);
}

}  // namespace

TEST(DialogUnits, MulDivRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(MulDivRound(5, 3, 2), 8);
    EXPECT_EQ(MulDivRound(-5, 3, 2), -8);
    EXPECT_EQ(MulDivRound(7, 6, 4), 11);
    EXPECT_EQ(MulDivRound(1, 1, 0), -1);
}

TEST(DialogTemplates, ATemplateBuildsAtThePixelSizeItsDialogUnitsGive)
{
    const DialogBaseUnits units = BaseUnitsForPointSize(8);
    const QFontMetrics metrics(DialogFont(8));
    std::cout << "Dialog base units measured from DejaVu Sans 8 pt (" << DialogFont(8).pixelSize()
              << " px): x = " << units.x << ", y = " << units.y << " (alphabet width "
              << metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") << ")\n";
    // Pinned: a change of the font or of the measuring rule moves every layout.
    EXPECT_EQ(DialogFont(8).pixelSize(), 11);
    EXPECT_EQ(units.x, 7);
    EXPECT_EQ(units.y, 13);

    RecordingDialog dialog(Dialog::Kind::Modeless);
    dialog.Build();
    // 220 x 100 dialog units: 220 * 7 / 4 = 385, 100 * 13 / 8 = 162.5 -> 163.
    EXPECT_EQ(dialog.size(), QSize(385, 163));
    // OK at (60, 80) size 50 x 14: (105, 130) size 88 x 23 (87.5 and 22.75 rounded).
    EXPECT_EQ(dialog.Item(DialogId::kOk)->geometry(), QRect(105, 130, 88, 23));
    EXPECT_EQ(dialog.Item(kTitle)->geometry(), QRect(12, 11, 175, 13));
    EXPECT_EQ(dialog.windowTitle(), "Test Dialog");
}

TEST(DialogTemplates, ControlsKeepTheirIdClassAndTemplateOrder)
{
    RecordingDialog dialog(Dialog::Kind::Modeless);
    dialog.Build();
    ASSERT_EQ(dialog.Items().size(), std::size(kTestControls));
    for (std::size_t i = 0; i < std::size(kTestControls); ++i) {
        QWidget* item = dialog.Items()[i];
        EXPECT_EQ(ControlId(item), kTestControls[i].id);
        EXPECT_EQ(WindowClassName(item), kTestControls[i].className);
        EXPECT_EQ(FindDlgItem(&dialog, kTestControls[i].id), item);
    }
    // The up-down follows its edit, took it as buddy and sits on its right edge.
    auto* spin = dialog.ItemAs<UpDown>(kValueSpin);
    QWidget* edit = dialog.Item(kValueEdit);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(dialog.NextInTemplateOrder(edit), spin);
    EXPECT_EQ(dialog.PreviousInTemplateOrder(spin), edit);
    EXPECT_EQ(spin->Buddy(), edit);
    EXPECT_EQ(edit->geometry().right() + 1, spin->geometry().left());
    EXPECT_EQ(edit->width() + spin->width(), 70);  // 40 dialog units
    EXPECT_EQ(spin->height(), edit->height());

    // A static shows its text without the mnemonic marks and keeps them in its window text.
    EXPECT_EQ(dialog.ItemAs<QLabel>(kTitle)->text(), "Title & more");
    EXPECT_EQ(dialog.ItemText(kTitle), "&Title && more");
    EXPECT_EQ(dialog.ItemAs<QComboBox>(kChoice)->count(), 2);
    EXPECT_EQ(dialog.DefaultButtonId(), DialogId::kOk);

    // Auto radio buttons are exclusive within their group only.
    dialog.ItemAs<QRadioButton>(kOpen)->click();
    dialog.ItemAs<QAbstractButton>(kCheck)->click();
    dialog.ItemAs<QRadioButton>(kClosed)->click();
    EXPECT_EQ(dialog.ItemCheckState(kOpen), 0);
    EXPECT_EQ(dialog.ItemCheckState(kClosed), 1);
    EXPECT_EQ(dialog.ItemCheckState(kCheck), 1);
    dialog.CheckItem(kClosed, 0);
    EXPECT_EQ(dialog.ItemCheckState(kClosed), 0);
    dialog.CheckRadio(kOpen, kClosed, kOpen);
    EXPECT_EQ(dialog.ItemCheckState(kOpen), 1);
}

TEST(DialogTemplates, APlaceholderGivesItsPlaceToTheRealControl)
{
    RecordingDialog dialog(Dialog::Kind::Modeless);
    dialog.Build();
    QWidget* placeholder = dialog.Item(kGauge);
    const QRect area = placeholder->geometry();
    EXPECT_EQ(WindowClassName(placeholder), "VeskGauge");
    auto* gauge = new QProgressBar;
    ASSERT_TRUE(dialog.ReplaceItem(kGauge, gauge));
    EXPECT_EQ(dialog.Item(kGauge), gauge);
    EXPECT_EQ(gauge->parentWidget(), &dialog);
    EXPECT_EQ(gauge->geometry(), area);
    EXPECT_EQ(ControlId(gauge), kGauge);
    EXPECT_EQ(WindowClassName(gauge), "VeskGauge");
    EXPECT_EQ(dialog.NextInTemplateOrder(dialog.Item(kCheck)), gauge);
    EXPECT_FALSE(dialog.ReplaceItem(4242, new QProgressBar(&dialog)));
}

TEST(DialogTemplates, ControlNoticesReachTheDialog)
{
    RecordingDialog dialog(Dialog::Kind::Modeless);
    dialog.Build();
    dialog.ItemAs<QPushButton>(kAdvanced)->click();
    dialog.SetItemText(kValueEdit, "5");
    emit dialog.ItemAs<QComboBox>(kChoice)->activated(1);
    dialog.ItemAs<UpDown>(kValueSpin)->SetRange32(0, 10);
    dialog.ItemAs<UpDown>(kValueSpin)->Step(1);
    // The step read the typed 5, wrote 6 into the buddy, and told the dialog.
    EXPECT_EQ(dialog.ItemText(kValueEdit), "6");
    const std::vector<std::string> expected = {"click 1130", "edit 1106", "combo 1110", "edit 1106", "spin 1107 4 6"};
    EXPECT_EQ(dialog.notices, expected);
    dialog.ItemAs<QPushButton>(DialogId::kOk)->click();
    EXPECT_TRUE(dialog.IsEnded());
    EXPECT_EQ(dialog.EndCode(), DialogId::kOk);
}

TEST(DialogTemplates, EnterGoesToTheDefaultButtonAndEscapeToCancel)
{
    RecordingDialog dialog(Dialog::Kind::Modeless);
    dialog.Build();
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QWidget* edit = dialog.Item(kValueEdit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.notices, std::vector<std::string>{"ok"});
    EXPECT_EQ(dialog.EndCode(), DialogId::kOk);

    dialog.show();
    dialog.notices.clear();
    dialog.EnableItem(DialogId::kOk, false);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_TRUE(dialog.notices.empty());  // a disabled default button takes no Enter
    dialog.Item(kAdvanced)->setFocus();
    QTest::keyClick(dialog.Item(kAdvanced), Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(dialog.notices, (std::vector<std::string>{"click 1130", "cancel"}));
    EXPECT_EQ(dialog.EndCode(), DialogId::kCancel);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(DialogTemplates, APanelIgnoresEnterAndEscape)
{
    QWidget view;
    RecordingDialog panel(Dialog::Kind::Child, &view, true);
    ASSERT_TRUE(panel.Create());
    EXPECT_FALSE(panel.isWindow());
    EXPECT_EQ(panel.parentWidget(), &view);
    QWidget* edit = panel.Item(kValueEdit);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(panel.notices, (std::vector<std::string>{"ok", "cancel"}));
    EXPECT_FALSE(panel.IsEnded());
}

TEST(ModalDialogs, EndCodesComeBackUnchanged)
{
    ModalDriver driver;
    driver.ExpectDialog(kTestDialogId).SetText(kValueEdit, "7").Click(kAdvanced).End(-3);
    driver.ExpectDialog(kTestDialogId).Click(DialogId::kOk);
    driver.ExpectDialog(kTestDialogId).Do([](Dialog& dialog) {
        std::thread worker([id = dialog.Id()] { PostWindowMessage(id, kEndWith, 5, 0); });
        worker.join();
    }).RunUntilEnds();

    RecordingDialog first(Dialog::Kind::Modal);
    EXPECT_EQ(first.DoModal(), -3);
    EXPECT_EQ(first.ItemText(kValueEdit), "7");
    EXPECT_EQ(first.notices, (std::vector<std::string>{"edit 1106", "click 1130"}));
    RecordingDialog second(Dialog::Kind::Modal);
    EXPECT_EQ(second.DoModal(), DialogId::kOk);
    RecordingDialog third(Dialog::Kind::Modal);
    EXPECT_EQ(third.DoModal(), 5);
    // Ended while it initialised: never shown, never handed to the driver.
    RecordingDialog fourth(Dialog::Kind::Modal);
    fourth.endInInit = true;
    EXPECT_EQ(fourth.DoModal(), -2);
    EXPECT_EQ(driver.Dialogs(), (std::vector<std::uint32_t>{kTestDialogId, kTestDialogId, kTestDialogId}));
}

TEST(ModalDialogs, TheDriverAnswersOnlyOnceWhatWasPostedAroundTheBoxOrDialogIsHandled)
{
    // A chain: a posted message, the Qt event it posts, and the message that one posts.
    const MessageId first = RegisterMessage("platform_ui_test_first");
    const MessageId second = RegisterMessage("platform_ui_test_second");
    MessageWindow window;
    std::vector<std::string> handled;  // what ran, and whether a box or dialog was up then
    const auto note = [&](const std::string& what) { handled.push_back(what + (IsModalRunning() ? " in" : " after")); };
    window.On(first, [&](std::uintptr_t, std::intptr_t) {
        note("first");
        QMetaObject::invokeMethod(qApp, [&] { note("queued"), window.Post(second); }, Qt::QueuedConnection);
        return std::intptr_t{0};
    });
    window.On(second, [&](std::uintptr_t, std::intptr_t) { return note("second"), std::intptr_t{0}; });

    ModalDriver driver;
    driver.AnswerBox(MessageAnswer::Ok);
    driver.ExpectDialog(kTestDialogId).Do([&](Dialog& dialog) {
        EXPECT_TRUE(dialog.isVisible());
        note("answered");
        dialog.EndDialog(DialogId::kOk);
    });
    window.Post(first);
    MessageBoxText("Posted before the box.");
    EXPECT_EQ(handled, (std::vector<std::string>{"first in", "queued in", "second in"}));
    handled.clear();
    window.Post(first);
    RecordingDialog dialog(Dialog::Kind::Modal);
    EXPECT_EQ(dialog.DoModal(), DialogId::kOk);
    EXPECT_EQ(handled, (std::vector<std::string>{"first in", "queued in", "second in", "answered in"}));
}

TEST(ModalDialogs, AnUnscriptedDialogFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(RunUnscriptedDialog(), "unscripted dialog 900");
}
