// Registered message ids and window ids, in place of RegisterWindowMessage and HWND.
// Toolkit-neutral: the UI layer turns a delivered message into an event on its own thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A registered message id: stable for a name for the life of the process.
using MessageId = std::uint32_t;
// A window as message receivers know it; kNoWindow names none.
using WindowId = std::uint64_t;

inline constexpr WindowId kNoWindow = 0;
inline constexpr MessageId kNoMessage = 0;

// Registered ids share the range the system gave such messages, so that they never meet
// the fixed message numbers of the UI layer.
inline constexpr MessageId kFirstRegisteredMessage = 0xC000;
inline constexpr MessageId kLastRegisteredMessage = 0xFFFF;

// The id of `name`: the same id for the same name (compared exactly) on every call from
// any thread; a new name gets the next free id. kNoMessage for an empty name or when the
// range is used up.
MessageId RegisterMessage(std::string_view name);

// The name an id was registered under, if any.
std::optional<std::string> RegisteredMessageName(MessageId id);

// One posted message with its two arguments, as the window procedure saw them.
struct PostedMessage {
    WindowId window = kNoWindow;
    MessageId message = kNoMessage;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;

    friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

}  // namespace platform
