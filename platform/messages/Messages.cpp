// The process-wide table of registered message names.
#include "platform/messages/Messages.h"

#include <map>
#include <mutex>
#include <vector>

namespace platform {
namespace {

struct MessageTable {
    std::mutex lock;                                           // guards both containers
    std::map<std::string, MessageId, std::less<>> idsByName;
    std::vector<std::string> namesById;                        // index = id - kFirstRegisteredMessage
};

// Never destroyed, so registrations made during static initialisation or destruction of
// other objects stay valid.
MessageTable& Table()
{
    static MessageTable* table = new MessageTable;
    return *table;
}

}  // namespace

MessageId RegisterMessage(std::string_view name)
{
    if (name.empty()) {
        return kNoMessage;
    }
    MessageTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    if (auto found = table.idsByName.find(name); found != table.idsByName.end()) {
        return found->second;
    }
    const std::size_t used = table.namesById.size();
    if (used > kLastRegisteredMessage - kFirstRegisteredMessage) {
        return kNoMessage;
    }
    const MessageId id = kFirstRegisteredMessage + static_cast<MessageId>(used);
    table.namesById.emplace_back(name);
    table.idsByName.emplace(std::string(name), id);
    return id;
}

std::optional<std::string> RegisteredMessageName(MessageId id)
{
    if (id < kFirstRegisteredMessage || id > kLastRegisteredMessage) {
        return std::nullopt;
    }
    MessageTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const std::size_t index = id - kFirstRegisteredMessage;
    if (index >= table.namesById.size()) {
        return std::nullopt;
    }
    return table.namesById[index];
}

}  // namespace platform
