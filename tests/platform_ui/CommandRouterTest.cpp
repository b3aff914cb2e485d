// The command chain without a toolkit: which link takes a command and its update, what a
// disabled command does, and the state a menu item shows.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/commands/CommandMap.h"
#include "platform/commands/CommandRouter.h"

using namespace platform;

namespace {

constexpr std::uint32_t kShared = 500;

struct Chain {
    std::vector<std::string> ran;
    CommandMap view, document, frame, application;
    CommandRouter router;

    Chain()
    {
        Handle(view, "view");
        Handle(document, "document");
        Handle(frame, "frame");
        Handle(application, "application");
        router.SetTarget(CommandLevel::View, &view);
        router.SetTarget(CommandLevel::Document, &document);
        router.SetTarget(CommandLevel::Frame, &frame);
        router.SetTarget(CommandLevel::Application, &application);
    }

    void Handle(CommandMap& target, std::string name)
    {
        target.On(kShared, [this, name] { ran.push_back(name); });
    }
};

}  // namespace

TEST(CommandRouter, CommandsGoToViewThenDocumentThenFrameThenApplication)
{
    Chain chain;
    std::vector<std::string> expected;
    for (auto [level, name] : {std::pair{CommandLevel::View, "view"}, std::pair{CommandLevel::Document, "document"},
                               std::pair{CommandLevel::Frame, "frame"}, std::pair{CommandLevel::Application, "application"}}) {
        EXPECT_EQ(chain.router.Execute(kShared), CommandOutcome::Ran);
        expected.push_back(name);
        chain.router.SetTarget(level, nullptr);
    }
    EXPECT_EQ(chain.ran, expected);
    EXPECT_EQ(chain.router.Execute(kShared), CommandOutcome::NoHandler);
}

TEST(CommandRouter, UpdateHandlerOfTheFirstLinkWinsAndADisabledCommandDoesNotRun)
{
    Chain chain;
    chain.document.OnUpdate(kShared, [](CommandUi& ui) {
        ui.Enable(false);
        ui.SetText("Paste Block \"In 1\"");
    });
    chain.frame.OnUpdate(kShared, [](CommandUi& ui) { ui.SetCheck(true); });
    const CommandUi state = chain.router.MenuState(kShared);
    EXPECT_FALSE(state.enabled);
    EXPECT_FALSE(state.checkedSet);
    EXPECT_EQ(state.text, "Paste Block \"In 1\"");
    EXPECT_EQ(chain.router.Execute(kShared), CommandOutcome::Disabled);
    EXPECT_TRUE(chain.ran.empty());
    // Route skips the update handlers, as a command sent by code does.
    EXPECT_TRUE(chain.router.Route(kShared));
    EXPECT_EQ(chain.ran, std::vector<std::string>{"view"});
}

TEST(CommandRouter, MenuStateDisablesACommandNobodyHandles)
{
    Chain chain;
    EXPECT_TRUE(chain.router.MenuState(kShared).enabled);
    EXPECT_FALSE(chain.router.MenuState(kShared + 1).enabled);
    // An update handler that leaves the enabled state alone does not rescue a command without handler.
    chain.application.OnUpdate(kShared + 1, [](CommandUi& ui) { ui.SetCheck(true); });
    EXPECT_FALSE(chain.router.MenuState(kShared + 1).enabled);
    chain.application.OnUpdate(kShared + 1, [](CommandUi& ui) { ui.Enable(true); });
    EXPECT_TRUE(chain.router.MenuState(kShared + 1).enabled);
    // Ranges, and the latest entry for an id winning.
    std::vector<std::uint32_t> recent;
    chain.frame.OnRange(57616, 57631, [&recent](std::uint32_t id) { recent.push_back(id); });
    EXPECT_EQ(chain.router.Execute(57620), CommandOutcome::Ran);
    EXPECT_EQ(recent, std::vector<std::uint32_t>{57620});
}
