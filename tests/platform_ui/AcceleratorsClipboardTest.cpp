// The main window's shortcuts while an edit has the focus (and not under a modal dialog),
// and the clipboard by format name.
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "platform/commands/CommandMap.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Accelerators.h"
#include "platform/ui/core/Clipboard.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/Dialog.h"
#include "platform/ui/core/MainWindow.h"
#include "resources/commands/CommandIds.h"
#include "tests/platform_ui/TestDialogTemplate.h"
#include "tests/support/ModalDriver.h"

using namespace platform;

namespace {

struct MainWindowWithPanel {
    QWidget main;
    QLineEdit* edit = new QLineEdit(&main);
    std::vector<std::uint32_t> ran;
    CommandMap frame;

    MainWindowWithPanel()
    {
        SetMainWindow(&main);
        edit->setText("12.5");
        edit->selectAll();
        frame.On(CommandId::kCopyBlock, [this] { ran.push_back(CommandId::kCopyBlock); });
        frame.On(CommandId::kPasteBlock, [this] { ran.push_back(CommandId::kPasteBlock); });
        QGuiApplication::clipboard()->setText("before");
    }
    ~MainWindowWithPanel() { SetMainWindow(nullptr); }
};

}  // namespace

TEST(Accelerators, CtrlCInAFocusedEditRunsTheMainWindowsCopyCommand)
{
    MainWindowWithPanel window;
    ScopedCommandTarget install(CommandLevel::Frame, &window.frame);
    QTest::keyClick(window.edit, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(window.edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(window.ran, (std::vector<std::uint32_t>{CommandId::kCopyBlock, CommandId::kPasteBlock}));
    // The edit never saw the copy key.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    // Keys that are no accelerator still reach the edit.
    QTest::keyClick(window.edit, Qt::Key_X);
    EXPECT_EQ(window.edit->text(), "x");
}

TEST(Accelerators, NothingRunsWhileAModalDialogRunsOrTheMainWindowIsDisabled)
{
    MainWindowWithPanel window;
    ScopedCommandTarget install(CommandLevel::Frame, &window.frame);
    ModalDriver driver;
    driver.ExpectDialog(test_templates::kTestDialogId)
        .Do([&window](Dialog&) { QTest::keyClick(window.edit, Qt::Key_C, Qt::ControlModifier); })
        .End(DialogId::kCancel);
    Dialog dialog(test_templates::kTestDialog, Dialog::Kind::Modal);
    dialog.DoModal();
    window.main.setEnabled(false);
    QTest::keyClick(window.edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(window.ran.empty());
    window.main.setEnabled(true);
    QTest::keyClick(window.edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(window.ran.size(), 1u);
}

TEST(Accelerators, OnlyTheMainWindowAndForwardingWindowsTakeThem)
{
    MainWindowWithPanel window;
    ScopedCommandTarget install(CommandLevel::Frame, &window.frame);
    QWidget other;
    auto* otherEdit = new QLineEdit(&other);
    QTest::keyClick(otherEdit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(window.ran.empty());
    SetAcceleratorForwarding(&other, true);
    QTest::keyClick(otherEdit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window.ran, std::vector<std::uint32_t>{CommandId::kPasteBlock});
}

TEST(Clipboard, BlocksGoInAndOutWholeByFormatName)
{
    const std::vector<std::uint8_t> block = {0x0C, 0x00, 'I', 'n', ' ', '1', 0x00, 0xFF};
    EXPECT_EQ(ClipboardMimeType(kBlockParamClipboardFormat), "application/x-vesk-__VeskQuarry_BlockParamInfo__");
    EXPECT_EQ(ClipboardMimeType("a b/c"), "application/x-vesk-a%20b%2Fc");
    ASSERT_TRUE(SetClipboardBytes(kBlockParamClipboardFormat, block));
    EXPECT_TRUE(IsClipboardFormatAvailable(kBlockParamClipboardFormat));
    EXPECT_FALSE(IsClipboardFormatAvailable("another format"));
    EXPECT_EQ(ClipboardBytes(kBlockParamClipboardFormat), block);
    EXPECT_FALSE(ClipboardBytes("another format").has_value());
    // Anything else put on the clipboard replaces the block.
    QGuiApplication::clipboard()->setText("text");
    EXPECT_FALSE(IsClipboardFormatAvailable(kBlockParamClipboardFormat));
    ASSERT_TRUE(SetClipboardBytes(kBlockParamClipboardFormat, {}));
    EXPECT_EQ(ClipboardBytes(kBlockParamClipboardFormat), std::vector<std::uint8_t>{});
}
