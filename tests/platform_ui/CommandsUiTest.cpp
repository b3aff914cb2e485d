// Commands on Qt: posted commands run after the current handler, the idle pass, and menu
// items and controls that take their state from the update handlers.
#include <string>
#include <thread>
#include <vector>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

#include "platform/commands/CommandMap.h"
#include "platform/ui/core/CommandActions.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/IdlePass.h"
#include "resources/commands/CommandIds.h"

using namespace platform;

namespace {

constexpr std::uint32_t kFirst = 40001;
constexpr std::uint32_t kSecond = 40002;

}  // namespace

TEST(Commands, APostedCommandRunsAfterTheHandlerThatPostedIt)
{
    std::vector<std::string> order;
    CommandMap frame;
    frame.On(kFirst, [&] {
        order.push_back("first begins");
        EXPECT_TRUE(PostCommand(kSecond));
        order.push_back("first ends");
    });
    frame.On(kSecond, [&] { order.push_back("second"); });
    ScopedCommandTarget install(CommandLevel::Frame, &frame);

    EXPECT_EQ(SendCommand(kFirst), CommandOutcome::Ran);
    EXPECT_EQ(order, (std::vector<std::string>{"first begins", "first ends"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"first begins", "first ends", "second"}));

    // Posting is for any thread.
    std::thread worker([] { EXPECT_TRUE(PostCommand(kSecond)); });
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_EQ(order.back(), "second");
    EXPECT_EQ(order.size(), 4u);
}

TEST(Commands, TheIdlePassRunsItsHooksThenUpdatesActionsAndDoesNotNest)
{
    std::vector<std::string> order;
    CommandMap document;
    document.On(CommandId::kIdlePoll, [&] {
        order.push_back("idle poll");
        EXPECT_FALSE(RunIdlePass());  // already inside one
    });
    document.On(kFirst, [] {});
    document.OnUpdate(kFirst, [&](CommandUi& ui) {
        order.push_back("update");
        ui.Enable(false);
    });
    ScopedCommandTarget install(CommandLevel::Document, &document);
    QAction* action = CommandAction(kFirst);
    const int hook = AddIdleHook([] { SendCommand(CommandId::kIdlePoll); });

    EXPECT_TRUE(RunIdlePass());
    EXPECT_EQ(order, (std::vector<std::string>{"idle poll", "update"}));
    EXPECT_FALSE(action->isEnabled());
    RemoveIdleHook(hook);
}

TEST(Commands, TheEventLoopRunsAnIdlePassBeforeItWaits)
{
    const int before = IdlePassCount();
    // The hook wakes the loop again, so waiting for more events returns.
    const int hook = AddIdleHook([] { PostCommand(kSecond); });
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    RemoveIdleHook(hook);
    QCoreApplication::processEvents();
    EXPECT_GT(IdlePassCount(), before);
}

TEST(Commands, AMenuRunsItsHooksAndUpdateHandlersBeforeItShows)
{
    QMenu menu;
    bool shownDuringUpdate = true;
    CommandMap frame;
    frame.On(CommandId::kMutePolarity, [] {});
    frame.OnUpdate(CommandId::kMutePolarity, [&](CommandUi& ui) {
        shownDuringUpdate = menu.isVisible();
        ui.SetText("&Mute Polarity");
        ui.SetCheck(true);
    });
    ScopedCommandTarget install(CommandLevel::Frame, &frame);
    menu.addAction(CommandAction(CommandId::kMutePolarity));
    menu.addAction(CommandAction(CommandId::kDownloadFromAmp));
    menu.addAction(CommandAction(kSecond));  // nobody handles it
    WatchMenu(&menu);
    const int hook = AddMenuShowHook([](QMenu& shown) { RemoveMenuItemByCommand(shown, CommandId::kDownloadFromAmp); });

    menu.popup(QPoint(0, 0));
    RemoveMenuShowHook(hook);
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_FALSE(shownDuringUpdate);
    QAction* polarity = menu.actions()[0];
    EXPECT_EQ(ActionCommandId(polarity), CommandId::kMutePolarity);
    EXPECT_EQ(polarity->text(), "&Mute Polarity");
    EXPECT_TRUE(polarity->isChecked());
    EXPECT_TRUE(polarity->isEnabled());
    EXPECT_FALSE(menu.actions()[1]->isEnabled());
    menu.hide();

    // Triggering an action sends its command through the chain.
    int ran = 0;
    frame.On(CommandId::kMutePolarity, [&] { ++ran; });
    polarity->trigger();
    EXPECT_EQ(ran, 1);
}

TEST(Commands, ABoundControlTakesTextAndStateOnTheIdlePass)
{
    QLabel text;
    QLabel icon;
    QPushButton button;
    CommandMap document;
    document.OnUpdate(CommandId::kConnectionText, [](CommandUi& ui) { ui.SetText("Disconnected"); });
    ScopedCommandTarget install(CommandLevel::Document, &document);
    BindCommandWidget(CommandId::kConnectionText, &text);
    BindCommandWidget(CommandId::kConnectionIcon, &icon);
    BindCommandWidget(kSecond, &button);
    RunIdlePass();
    EXPECT_EQ(WindowText(&text), "Disconnected");
    // Without any handler a push button goes grey; statics never do.
    EXPECT_TRUE(text.isEnabled());
    EXPECT_TRUE(icon.isEnabled());
    EXPECT_FALSE(button.isEnabled());
    for (QWidget* widget : std::initializer_list<QWidget*>{&text, &icon, &button}) {
        UnbindCommandWidget(widget);
    }
}
