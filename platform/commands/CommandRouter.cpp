// Routing of commands and update handlers along the chain.
#include "platform/commands/CommandRouter.h"

namespace platform {
namespace {

// The chain without empty links and without a target that already came earlier (one object
// may serve two levels, e.g. a view that is also the frame in a test).
template <typename Function>
bool ForEachTarget(const std::array<ICommandTarget*, 4>& targets, Function&& visit)
{
    for (std::size_t i = 0; i < targets.size(); ++i) {
        ICommandTarget* target = targets[i];
        bool seen = target == nullptr;
        for (std::size_t j = 0; j < i && !seen; ++j) {
            seen = targets[j] == target;
        }
        if (!seen && visit(*target)) {
            return true;
        }
    }
    return false;
}

}  // namespace

void CommandRouter::SetTarget(CommandLevel level, ICommandTarget* target)
{
    m_targets[static_cast<std::size_t>(level)] = target;
}

ICommandTarget* CommandRouter::Target(CommandLevel level) const
{
    return m_targets[static_cast<std::size_t>(level)];
}

void CommandRouter::Clear()
{
    m_targets.fill(nullptr);
}

CommandOutcome CommandRouter::Execute(std::uint32_t id)
{
    CommandUi state;
    state.id = id;
    if (Update(id, state) && !state.enabled) {
        return CommandOutcome::Disabled;
    }
    return Route(id) ? CommandOutcome::Ran : CommandOutcome::NoHandler;
}

bool CommandRouter::Route(std::uint32_t id)
{
    // A copy of the chain: a handler may change the active view while it runs.
    const std::array<ICommandTarget*, 4> chain = m_targets;
    return ForEachTarget(chain, [id](ICommandTarget& target) { return target.OnCommand(id); });
}

bool CommandRouter::Update(std::uint32_t id, CommandUi& ui)
{
    ui.id = id;
    const std::array<ICommandTarget*, 4> chain = m_targets;
    return ForEachTarget(chain, [id, &ui](ICommandTarget& target) { return target.OnUpdateCommandUi(id, ui); });
}

bool CommandRouter::HasHandler(std::uint32_t id) const
{
    return ForEachTarget(m_targets, [id](ICommandTarget& target) { return target.HasCommandHandler(id); });
}

CommandUi CommandRouter::MenuState(std::uint32_t id)
{
    CommandUi ui;
    ui.id = id;
    Update(id, ui);
    if (!ui.enabledSet && !HasHandler(id)) {
        ui.enabled = false;
    }
    return ui;
}

}  // namespace platform
