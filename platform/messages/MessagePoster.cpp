// The window registry behind PostWindowMessage. A shared lock lets posters on several
// threads deliver at once while a removal waits for every delivery in progress.
#include "platform/messages/MessagePoster.h"

#include <mutex>
#include <shared_mutex>
#include <unordered_map>
#include <utility>

namespace platform {
namespace {

struct WindowRegistry {
    std::shared_mutex lock;  // guards windows and nextId
    std::unordered_map<WindowId, std::shared_ptr<IMessageTarget>> windows;
    WindowId nextId = 1;
};

// Never destroyed: workers that end during static destruction may still post.
WindowRegistry& Registry()
{
    static WindowRegistry* registry = new WindowRegistry;
    return *registry;
}

}  // namespace

WindowId AddMessageWindow(std::shared_ptr<IMessageTarget> target)
{
    if (!target) {
        return kNoWindow;
    }
    WindowRegistry& registry = Registry();
    std::unique_lock<std::shared_mutex> guard(registry.lock);
    const WindowId id = registry.nextId++;
    registry.windows.emplace(id, std::move(target));
    return id;
}

void RemoveMessageWindow(WindowId window)
{
    std::shared_ptr<IMessageTarget> dropped;
    {
        WindowRegistry& registry = Registry();
        std::unique_lock<std::shared_mutex> guard(registry.lock);
        auto found = registry.windows.find(window);
        if (found == registry.windows.end()) {
            return;
        }
        dropped = std::move(found->second);
        registry.windows.erase(found);
    }
    // The target's destructor runs outside the lock, so it may post or remove in turn.
}

bool PostWindowMessage(WindowId window, MessageId message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (window == kNoWindow || message == kNoMessage) {
        return false;
    }
    WindowRegistry& registry = Registry();
    std::shared_lock<std::shared_mutex> guard(registry.lock);
    auto found = registry.windows.find(window);
    if (found == registry.windows.end()) {
        return false;
    }
    found->second->Deliver(PostedMessage{window, message, wParam, lParam});
    return true;
}

}  // namespace platform
