// The table-driven command target.
#include "platform/commands/CommandMap.h"

#include <utility>

namespace platform {

void CommandMap::On(std::uint32_t id, Handler handler)
{
    m_commands.push_back({id, id, [run = std::move(handler)](std::uint32_t) { run(); }});
}

void CommandMap::OnRange(std::uint32_t first, std::uint32_t last, RangeHandler handler)
{
    m_commands.push_back({first, last, std::move(handler)});
}

void CommandMap::OnUpdate(std::uint32_t id, UpdateHandler handler)
{
    m_updates.push_back({id, id, std::move(handler)});
}

void CommandMap::OnUpdateRange(std::uint32_t first, std::uint32_t last, UpdateHandler handler)
{
    m_updates.push_back({first, last, std::move(handler)});
}

const CommandMap::CommandEntry* CommandMap::FindCommand(std::uint32_t id) const
{
    for (auto entry = m_commands.rbegin(); entry != m_commands.rend(); ++entry) {
        if (id >= entry->first && id <= entry->last) {
            return &*entry;
        }
    }
    return nullptr;
}

bool CommandMap::OnCommand(std::uint32_t id)
{
    const CommandEntry* entry = FindCommand(id);
    if (entry == nullptr) {
        return false;
    }
    // A copy: the handler may change this map (or destroy its owner) while it runs.
    RangeHandler run = entry->run;
    run(id);
    return true;
}

bool CommandMap::OnUpdateCommandUi(std::uint32_t id, CommandUi& ui)
{
    for (auto entry = m_updates.rbegin(); entry != m_updates.rend(); ++entry) {
        if (id >= entry->first && id <= entry->last) {
            UpdateHandler run = entry->run;
            run(ui);
            return true;
        }
    }
    return false;
}

bool CommandMap::HasCommandHandler(std::uint32_t id) const
{
    return FindCommand(id) != nullptr;
}

}  // namespace platform
