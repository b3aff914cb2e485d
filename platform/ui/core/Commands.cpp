#include "platform/ui/core/Commands.h"

#include <atomic>

#include "platform/messages/MessagePoster.h"
#include "platform/ui/core/UiMessageIds.h"

namespace platform {
namespace {

// Read by posters on any thread.
std::atomic<WindowId> g_commandWindow{kNoWindow};

}  // namespace

CommandRouter& Router()
{
    static CommandRouter router;
    return router;
}

CommandOutcome SendCommand(std::uint32_t id)
{
    return Router().Execute(id);
}

bool PostCommand(std::uint32_t id)
{
    return PostWindowMessage(g_commandWindow.load(), kMsgCommand, id, 0);
}

void SetCommandWindow(WindowId window)
{
    g_commandWindow.store(window);
}

ScopedCommandTarget::ScopedCommandTarget(CommandLevel level, ICommandTarget* target)
    : m_level(level), m_previous(Router().Target(level))
{
    Router().SetTarget(level, target);
}

ScopedCommandTarget::~ScopedCommandTarget()
{
    Router().SetTarget(m_level, m_previous);
}

}  // namespace platform
