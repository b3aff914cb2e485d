// A command target made of tables: handlers and update handlers by id or id range, the way
// a class declares its message map. Owners hold one and hand it to the router.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/commands/ICommandTarget.h"

namespace platform {

class CommandMap : public ICommandTarget {
public:
    using Handler = std::function<void()>;
    using RangeHandler = std::function<void(std::uint32_t id)>;
    using UpdateHandler = std::function<void(CommandUi& ui)>;

    // A later entry for the same id wins over an earlier one.
    void On(std::uint32_t id, Handler handler);
    void OnRange(std::uint32_t first, std::uint32_t last, RangeHandler handler);
    void OnUpdate(std::uint32_t id, UpdateHandler handler);
    void OnUpdateRange(std::uint32_t first, std::uint32_t last, UpdateHandler handler);

    bool OnCommand(std::uint32_t id) override;
    bool OnUpdateCommandUi(std::uint32_t id, CommandUi& ui) override;
    bool HasCommandHandler(std::uint32_t id) const override;

private:
    struct CommandEntry {
        std::uint32_t first;
        std::uint32_t last;
        RangeHandler run;
    };
    struct UpdateEntry {
        std::uint32_t first;
        std::uint32_t last;
        UpdateHandler run;
    };

    const CommandEntry* FindCommand(std::uint32_t id) const;

    std::vector<CommandEntry> m_commands;
    std::vector<UpdateEntry> m_updates;
};

}  // namespace platform
