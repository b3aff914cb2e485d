// The main frame: placement, menus, bars, the write-progress label, the lock notice and the
// registered messages, with a whole editor in the test process.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CColorToolBar.h"
#include "application/ui/CConnectionStatusBar.h"
#include "application/ui/CControlView.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/CProgressBar.h"
#include "application/ui/CWriteProgressLabel.h"
#include "application/ui/DlgLockApp.h"
#include "application/ui/EditorTexts.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/CommandActions.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/IdlePass.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/ModalState.h"
#include "platform/ui/core/UiMessageIds.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringTable.h"
#include "tests/app_ui/EditorFixture.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/RecordingAmplifier.h"
#include "tests/support/ScreenShot.h"

namespace {

using platform::MessageAnswer;

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override { ResetUserState(); }
};

QColor PixelAt(QWidget& widget, int x, int y)
{
    return RenderWidget(widget).pixelColor(x, y);
}

TEST_F(MainFrameTest, FirstStartIs640x480AndAMovedFrameComesBack)
{
    {
        EditorFixture editor;
        ASSERT_TRUE(editor.Start());
        CMainFrame& frame = editor.Frame();
        EXPECT_EQ(frame.frameGeometry().topLeft(), QPoint(0, 0));
        EXPECT_EQ(frame.size(), QSize(640, 480));
        EXPECT_EQ(frame.windowTitle().toStdString(), "Corvantine Editor - Corvantine MV440");
        frame.move(120, 90);
        frame.resize(700, 520);
        EXPECT_TRUE(frame.close());
    }
    EditorFixture again;
    ASSERT_TRUE(again.Start());
    EXPECT_EQ(again.Frame().frameGeometry().topLeft(), QPoint(120, 90));
    EXPECT_EQ(again.Frame().size(), QSize(700, 520));
}

TEST_F(MainFrameTest, MenusNeverShowDownloadOrDebug)
{
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    QMenuBar* bar = editor.Frame().menuBar();
    ASSERT_EQ(bar->actions().size(), 3);
    for (QAction* popup : bar->actions()) {
        EXPECT_NE(popup->text(), "Debug");
        QMenu* menu = popup->menu();
        ASSERT_NE(menu, nullptr);
        emit menu->aboutToShow();
        for (QAction* item : menu->actions()) {
            EXPECT_NE(platform::ActionCommandId(item), CommandId::kDownloadFromAmp) << popup->text().toStdString();
        }
    }
}

TEST_F(MainFrameTest, WriteProgressLabelShowsTheShareDoneOverTheMessagePane)
{
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    CMainFrame& frame = editor.Frame();
    CWriteProgressLabel& label = *frame.WriteProgressLabel();
    frame.Messages().Post(platform::MsgNotifyWritingParam(), 3, 12);
    PumpEvents();
    ASSERT_TRUE(label.isVisible());
    EXPECT_TRUE(frame.IsWritingParameters());
    EXPECT_EQ(label.Text(), " Writing parameters... (25%)");
    const platform::Rect pane = frame.StatusBar()->GetItemRect(0);
    EXPECT_EQ(label.width(), pane.Width());
    const QImage image = RenderWidget(label);
    const int split = CWriteProgressLabel::SplitX(0, label.width(), 3, 12);
    EXPECT_EQ(split, label.width() / 4);
    EXPECT_EQ(image.pixelColor(1, label.height() - 2), QColor(32, 224, 32));
    EXPECT_EQ(image.pixelColor(split - 1, 1), QColor(32, 224, 32));
    EXPECT_EQ(image.pixelColor(split, 1), QColor(192, 192, 192));

    EXPECT_FALSE(frame.OnNotifyWritingParam(3, 12));  // the same pair changes nothing
    EXPECT_TRUE(frame.OnNotifyWritingParam(0, 0));
    EXPECT_FALSE(label.isVisible());
    EXPECT_FALSE(frame.IsWritingParameters());
    EXPECT_EQ(CWriteProgressLabel::SplitX(10, 110, 5, 0), 10);     // no division by a total of 0
    EXPECT_EQ(CWriteProgressLabel::SplitX(0, 2000, 9, 4), 2000);   // a count past the total fills it
    EXPECT_EQ(CWriteProgressLabel::SplitX(0, 2000, 0xFFFFFFF0u, 0xFFFFFFFFu), 1999);
}

TEST_F(MainFrameTest, ConnectionIconFollowsTheState)
{
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    CMainFrame& frame = editor.Frame();
    CConnectionStatusBar& bar = *frame.ConnectionBar();
    QWidget* icon = bar.Item(1110);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->size(), QSize(24, 24));
    // The icon keeps 15 pixels to the bar's right edge.
    EXPECT_EQ(bar.width() - (icon->x() + icon->width()), 15);
    const QPoint centre = icon->geometry().center();
    const QColor red = PixelAt(bar, centre.x(), centre.y());
    EXPECT_GT(red.red(), red.green());
    frame.SetConnectionIcon(7);
    EXPECT_EQ(bar.IconCell(), 1);
    const QColor green = PixelAt(bar, centre.x(), centre.y());
    EXPECT_GT(green.green(), green.red());
    frame.SetConnectionIcon(0);
    EXPECT_EQ(bar.IconCell(), 0);
    frame.SetConnectionText("MV440  v5.20 - Connected");
    EXPECT_EQ(frame.ConnectionText(), "MV440  v5.20 - Connected");
}

TEST_F(MainFrameTest, ConnectionTextOfEveryModelStandsWholeOnOneLineLeftOfTheLamp)
{
    std::vector<RecordingAmplifier> models;
    for (std::int32_t model = 0; model < static_cast<std::int32_t>(ModelType::Unknown); ++model) {
        models.emplace_back(model).version = u"v99.99";
    }
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    CMainFrame& frame = editor.Frame();
    frame.show();
    CConnectionStatusBar& bar = *frame.ConnectionBar();
    auto* text = qobject_cast<QLabel*>(bar.Item(1109));
    ASSERT_NE(text, nullptr);
    const QRect lamp = bar.Item(1110)->geometry();
    std::vector<std::vector<CobaltDeviceManager::ICobaltAmplifier*>> cases = {{}, {&models[0], &models[1]}};
    for (RecordingAmplifier& amplifier : models) {
        cases.push_back({&amplifier});
    }
    for (const auto& present : cases) {
        editor.amplifiers.present = present;
        platform::RunIdlePass();
        // The text as the label lays it out, with its font, wrapping and alignment.
        const QFontMetrics metrics(text->font());
        const QRect room = text->contentsRect();
        const QRect laidOut = metrics.boundingRect(room, static_cast<int>(text->alignment()) | Qt::TextWordWrap, text->text());
        EXPECT_LE(laidOut.width(), room.width()) << text->text().toStdString();
        EXPECT_EQ(laidOut.height(), metrics.height()) << text->text().toStdString();
    }
    EXPECT_EQ(text->text().toStdString(), "MV340A  v99.99 - Connected");
    // The lamp stays 15 pixels from the bar's right edge with the text left of it, and the
    // bar leaves the tool bar's buttons alone.
    EXPECT_EQ(bar.width() - (lamp.x() + lamp.width()), 15);
    EXPECT_LE(text->geometry().right(), lamp.left());
    EXPECT_GE(bar.x(), frame.ToolBar()->sizeHint().width());
}

TEST_F(MainFrameTest, PointingAtAButtonOrMenuItemShowsItsPromptInTheMessagePane)
{
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    CMainFrame& frame = editor.Frame();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const CProgressBar& status = *frame.StatusBar();
    // Moves of the pointer as the window system reports them, to the window under it.
    const auto pointAt = [](QWidget* widget, QPoint at) {
        ASSERT_NE(widget, nullptr);
        QTest::mouseMove(widget->window()->windowHandle(), widget->mapTo(widget->window(), at));
    };
    // Without an amplifier the command is disabled; its prompt shows all the same.
    platform::RunIdlePass();
    QAction* saveConfiguration = platform::CommandAction(CommandId::kSaveConfigurationToAmp);
    ASSERT_FALSE(saveConfiguration->isEnabled());
    QWidget* button = frame.ToolBar()->widgetForAction(saveConfiguration);
    pointAt(button, button->rect().center());
    EXPECT_EQ(status.GetPane(0).text, "Save Configuration to Amp");
    pointAt(frame.GetMainView(), frame.GetMainView()->rect().center());
    EXPECT_EQ(status.GetPane(0).text, "");

    QMenu* device = nullptr;
    for (QAction* popup : frame.menuBar()->actions()) {
        device = popup->text() == "&Device" ? popup->menu() : device;
    }
    ASSERT_NE(device, nullptr);
    frame.menuBar()->setActiveAction(device->menuAction());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(device));
    pointAt(device, device->actionGeometry(saveConfiguration).center());
    EXPECT_EQ(status.GetPane(0).text, "Save Configuration to Amp");
    // Mute Outputs has a tool tip and no prompt.
    pointAt(device, device->actionGeometry(platform::CommandAction(CommandId::kMuteOutputs)).center());
    EXPECT_EQ(status.GetPane(0).text, "");
    // Closing the menu clears the pane (the pointer comes to rest on the tool bar's empty end).
    const QRect item = device->actionGeometry(saveConfiguration);
    const QPoint overEmptyToolBar(item.right() - 2, item.center().y());
    ASSERT_EQ(frame.ToolBar()->childAt(frame.ToolBar()->mapFromGlobal(device->mapToGlobal(overEmptyToolBar))), nullptr);
    pointAt(device, overEmptyToolBar);
    ASSERT_EQ(status.GetPane(0).text, "Save Configuration to Amp");
    device->close();
    PumpEvents();
    EXPECT_EQ(status.GetPane(0).text, "");
}

TEST_F(MainFrameTest, LockNoticeShowsOnlyAfterItsDelay)
{
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers(timers);
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    CMainFrame& frame = editor.Frame();
    frame.ShowLockDialog(184, 500);
    ASSERT_NE(frame.LockNotice(), nullptr);
    timers.Advance(400);
    frame.ShowLockDialog(0, 0);
    timers.Advance(1000);
    EXPECT_FALSE(frame.LockNotice()->isVisible());

    frame.ShowLockDialog(185, 500);
    timers.Advance(499);
    EXPECT_FALSE(frame.LockNotice()->isVisible());
    timers.Advance(1);
    EXPECT_TRUE(frame.LockNotice()->isVisible());
    EXPECT_EQ(frame.LockNotice()->ItemText(1000), LoadStringId(185));
    frame.ShowLockDialog(0, 0);
    EXPECT_FALSE(frame.LockNotice()->isVisible());
}

TEST_F(MainFrameTest, RegisteredMessagesReachTheirHandlers)
{
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    CMainFrame& frame = editor.Frame();
    PumpEvents();
    // Device watching started from the event loop, with the frame and the change message.
    ASSERT_EQ(editor.watchStarts.size(), 1u);
    EXPECT_EQ(editor.watchStarts[0].first, frame.WindowId());
    EXPECT_EQ(editor.watchStarts[0].second, platform::MsgDeviceChanged());

    std::vector<std::uint32_t> ran;
    platform::CommandMap& commands = editor.App().DocumentCommands();
    for (std::uint32_t id : {CommandId::kGoOnline, CommandId::kLockApp, CommandId::kUnlockApp}) {
        commands.On(id, [&ran, id] { ran.push_back(id); });
    }
    frame.Messages().Post(platform::MsgDeviceChanged());
    frame.Messages().Post(platform::MsgNotifySaveConfig(), 1, 0);
    frame.Messages().Post(platform::MsgNotifySaveConfig(), 0, 0);
    PumpEvents();
    // The save-configuration notices send their commands; the device change posts its one.
    EXPECT_EQ(ran, (std::vector<std::uint32_t>{CommandId::kLockApp, CommandId::kUnlockApp, CommandId::kGoOnline}));

    ModalDriver driver;
    driver.AnswerBox(147, MessageAnswer::Ok);
    frame.Messages().Post(platform::MsgCorruptSpEqFile());
    PumpEvents();
    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_EQ(driver.Boxes()[0].icon, platform::MessageIcon::Information);
}

TEST_F(MainFrameTest, TwoAmplifiersDisableMuteEmptyTheAboutBoxAndCloseQuietly)
{
    RecordingAmplifier first;
    RecordingAmplifier second;
    first.muted = true;
    EditorFixture editor;
    editor.amplifiers.present = {&first, &second};
    ASSERT_TRUE(editor.Start());
    platform::RunIdlePass();
    QAction* mute = platform::CommandAction(CommandId::kMuteOutputs);
    EXPECT_FALSE(mute->isEnabled());
    EXPECT_FALSE(mute->isChecked());
    EXPECT_FALSE(editor.Frame().ToolBar()->IsMutedLook());

    ModalDriver driver;
    driver.ExpectDialog(100).Do([](platform::Dialog& about) {
        EXPECT_EQ(about.ItemText(1071), "");
        EXPECT_FALSE(about.Item(1090)->isEnabled());
        EXPECT_FALSE(about.Item(1072)->isEnabled());
    }).End(1);
    platform::SendCommand(CommandId::kAppAbout);
    EXPECT_TRUE(editor.Frame().close());  // no warning box: not exactly one amplifier
    EXPECT_EQ(first.refs, 0u);
    EXPECT_EQ(second.refs, 0u);
}

TEST_F(MainFrameTest, OneMutedAmplifierChecksMuteAndWarnsAtClose)
{
    RecordingAmplifier amplifier(3);
    amplifier.muted = true;
    EditorFixture editor;
    editor.amplifiers.present = {&amplifier};
    ASSERT_TRUE(editor.Start());
    platform::RunIdlePass();
    QAction* mute = platform::CommandAction(CommandId::kMuteOutputs);
    EXPECT_TRUE(mute->isEnabled());
    EXPECT_TRUE(mute->isChecked());
    EXPECT_TRUE(editor.Frame().ToolBar()->IsMutedLook());
    platform::SendCommand(CommandId::kMuteOutputs);
    EXPECT_FALSE(amplifier.muted);
    platform::RunIdlePass();
    EXPECT_FALSE(editor.Frame().ToolBar()->IsMutedLook());

    amplifier.muted = true;
    ModalDriver driver;
    driver.AnswerBox(MessageAnswer::Ok);
    EXPECT_TRUE(editor.Frame().close());
    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_EQ(driver.Boxes()[0].text, std::string(kSoftwareMuteWarningText));
    EXPECT_EQ(driver.Boxes()[0].icon, platform::MessageIcon::Information);
    EXPECT_EQ(amplifier.refs, 0u);
}

TEST_F(MainFrameTest, HelpTopicsOpensTheHelpFileOrNamesTheViewerItNeeds)
{
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    platform::SendCommand(CommandId::kHelpTopics);
    ASSERT_EQ(editor.helpOpened.size(), 1u);
    EXPECT_EQ(editor.helpOpened[0], editor.data / "CV_Editor_CHM.chm");

    editor.helpOpens = false;
    ModalDriver driver;
    driver.AnswerBox(MessageAnswer::Ok);
    platform::SendCommand(CommandId::kHelpTopics);
    ASSERT_EQ(driver.Boxes().size(), 1u);
    EXPECT_NE(driver.Boxes()[0].text.find("xchm"), std::string::npos);
    EXPECT_NE(driver.Boxes()[0].text.find("CV_Editor_CHM.chm"), std::string::npos);
}

TEST_F(MainFrameTest, StatusPanesGiveWayFromTheLastSoTheMessagePaneStays)
{
    CProgressBar bar;
    bar.resize(640, bar.BarHeight());
    EXPECT_GE(bar.GetItemRect(0).Width(), bar.MinimumMessageWidth());
    EXPECT_EQ(bar.GetItemRect(1).Width(), 200);
    EXPECT_LT(bar.GetItemRect(2).Width(), 600);
    EXPECT_EQ(bar.GetPane(1).text, "Parameter");
    bar.resize(1400, bar.BarHeight());
    EXPECT_EQ(bar.GetItemRect(2).Width(), 600);
    EXPECT_EQ(bar.GetItemRect(1).Width(), 200);
}

TEST_F(MainFrameTest, CopyDataOpensTheProjectAndIsRefusedDuringAModalDialog)
{
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    CCorvantEditorDoc& document = *editor.App().GetDocument();
    const auto saved = editor.folder.Path() / "show.cvp";
    ASSERT_TRUE(document.OnSaveDocument(saved));
    const auto other = editor.folder.Path() / "copy of show.cvp";
    std::filesystem::copy_file(saved, other);

    std::u16string text = QString::fromStdString(other.string()).toStdU16String();
    text += u'\0';
    text += u"ignored after the zero";
    platform::CopyData block{1, text.data(), static_cast<std::uint32_t>(text.size() * 2)};
    std::intptr_t result = 0;
    ASSERT_TRUE(platform::SendWindowMessage(editor.Frame().WindowId(), platform::kMsgCopyData, 1,
                                            reinterpret_cast<std::intptr_t>(&block), &result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(document.GetPathName(), other);
    EXPECT_EQ(editor.App().RecentFiles().Files().front(), other);

    EXPECT_FALSE(editor.App().IsHandOverRefused());
    platform::ModalScope modal;
    EXPECT_TRUE(editor.App().IsHandOverRefused());
}

TEST_F(MainFrameTest, ControlViewIsLaidOutAndFeedsTheMinimumSize)
{
    EditorFixture editor(std::string(kSmallLayout) + "Never\t2\t5\t0\tx\t0\t0\t0\t0\t0,0,0\t0,0,0\t900,900\n");
    ASSERT_TRUE(editor.Start());
    CCorvantEditorView& view = *editor.Frame().GetMainView();
    ASSERT_EQ(view.ChildViews().size(), 2u);
    CControlView* controls = editor.Frame().GetControlView();
    ASSERT_EQ(controls, view.ChildViews()[0]);
    EXPECT_TRUE(controls->isVisible());
    EXPECT_FALSE(view.ChildViews()[1]->isVisible());  // row 5 is never reached
    EXPECT_EQ(view.RequiredSize(), QSize(300, 200));
    EXPECT_EQ(controls->width(), view.width() - 2 * kChildViewFrame);
    const QSize minimum = editor.Frame().MinTrackSize();
    EXPECT_GE(minimum.width(), 300);
    EXPECT_GT(minimum.height(), 200);
    EXPECT_LE(minimum.width(), 640);
    // The gradient runs from colour B at the top to colour A at the bottom.
    const QImage client = controls->RenderClient();
    EXPECT_EQ(client.pixelColor(5, 0), QColor(250, 250, 250));
    EXPECT_EQ(client.pixelColor(5, client.height() - 1), QColor(200, 210, 220));
}

TEST_F(MainFrameTest, MinimumSizeLeavesTheMainViewItsWholeRequiredHeightBetweenTheBars)
{
    EditorFixture editor(
        "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n"
        "Controls\t2\t0\t0\tx\t0\t0\t1\t0\t200,210,220\t250,250,250\t600,520\n");
    ASSERT_TRUE(editor.Start());
    CMainFrame& frame = editor.Frame();
    frame.show();
    QCoreApplication::processEvents();
    CCorvantEditorView& view = *frame.GetMainView();
    EXPECT_GE(frame.height(), frame.MinTrackSize().height());
    EXPECT_GE(view.height(), view.RequiredSize().height());
}

TEST_F(MainFrameTest, ControlViewOpensCentresKeepsAndClosesTheSelectedBlocksPanel)
{
    EditorFixture editor;
    ASSERT_TRUE(editor.Start());
    CCorvantEditorDoc& document = *editor.App().GetDocument();
    CControlView& controls = *editor.Frame().GetControlView();
    DiagramBlock* crossover = nullptr;
    for (const auto& block : document.Blocks()) {
        if (block->type == BlockType::Crossover && crossover == nullptr) {
            crossover = block.get();
        }
    }
    ASSERT_NE(crossover, nullptr);
    crossover->selected = 1;
    controls.OnSelectionChanged();
    QWidget* panel = controls.OpenPanelWindow();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->parentWidget(), &controls);
    EXPECT_EQ(panel->x(), controls.width() / 2 - panel->width() / 2);
    EXPECT_EQ(panel->y(), controls.height() / 2 - panel->height() / 2);
    IBlockPanel* opened = controls.OpenPanel();
    controls.OnSelectionChanged();  // the same block again keeps its panel
    EXPECT_EQ(controls.OpenPanel(), opened);

    document.SetModifiedFlag(false);
    static_cast<IPanelSite&>(controls).SetDesignModified();
    EXPECT_TRUE(document.IsModified());
    document.SetModifiedFlag(false);

    crossover->selected = 0;
    controls.OnSelectionChanged();
    EXPECT_EQ(controls.OpenPanel(), nullptr);
    EXPECT_EQ(controls.OpenController(), nullptr);

    // A new design resets the view (hint 1), which closes an open panel.
    crossover->selected = 1;
    controls.OnSelectionChanged();
    ASSERT_NE(controls.OpenPanel(), nullptr);
    document.UpdateAllViews(UpdateHint::Reset);
    EXPECT_EQ(controls.OpenPanel(), nullptr);
    document.UpdateAllViews(UpdateHint::DisableControlView);
    EXPECT_FALSE(controls.isEnabled());
    document.UpdateAllViews(UpdateHint::EnableControlView);
    EXPECT_TRUE(controls.isEnabled());
}

}  // namespace
