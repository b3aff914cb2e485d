// The command chain of the editor: the active view first, then the document, the frame and
// the application. The first target with a handler takes a command or its update.
#pragma once

#include <array>
#include <cstdint>

#include "platform/commands/ICommandTarget.h"

namespace platform {

enum class CommandLevel { View = 0, Document = 1, Frame = 2, Application = 3 };

enum class CommandOutcome {
    Ran,        // a handler ran
    Disabled,   // an update handler disabled the command, so it was not run
    NoHandler,  // nobody in the chain handles it
};

class CommandRouter {
public:
    // Targets are not owned; a target must be taken out (null) before it is destroyed.
    void SetTarget(CommandLevel level, ICommandTarget* target);
    ICommandTarget* Target(CommandLevel level) const;
    void Clear();

    // Runs the command like a menu pick or an accelerator: its update handler is asked first
    // and a command it disables is not run.
    CommandOutcome Execute(std::uint32_t id);
    // Runs the first command handler of the chain without asking the update handlers.
    bool Route(std::uint32_t id);
    // Runs the first update handler of the chain on `ui`; false when none exists.
    bool Update(std::uint32_t id, CommandUi& ui);
    bool HasHandler(std::uint32_t id) const;

    // The state a menu item shows: what the update handler decided; a command whose
    // enabled state no update handler set and that has no command handler is disabled.
    CommandUi MenuState(std::uint32_t id);

private:
    std::array<ICommandTarget*, 4> m_targets{};
};

}  // namespace platform
