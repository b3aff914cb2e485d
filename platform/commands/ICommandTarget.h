// One link of the command chain (a view, the document, the frame or the application).
#pragma once

#include <cstdint>

#include "platform/commands/CommandUi.h"

namespace platform {

class ICommandTarget {
public:
    // Runs the command handler of `id`; false when this target has none.
    virtual bool OnCommand(std::uint32_t id) = 0;
    // Runs the update handler of `id` on `ui`; false when this target has none.
    virtual bool OnUpdateCommandUi(std::uint32_t id, CommandUi& ui) = 0;
    // True when OnCommand(id) would find a handler (asked without running it).
    virtual bool HasCommandHandler(std::uint32_t id) const = 0;

protected:
    ~ICommandTarget() = default;
};

}  // namespace platform
