// Fixed message numbers of the UI layer, below the registered range (0xC000) so they never
// meet a registered message. Their values follow the system's where it had one.
#pragma once

#include "platform/messages/Messages.h"

namespace platform {

// A command: wParam = command id. Routed through the command chain.
inline constexpr MessageId kMsgCommand = 0x0111;
// A block of data from another instance: wParam = data word, lParam = pointer to CopyData.
inline constexpr MessageId kMsgCopyData = 0x004A;
// Nothing but a wake-up, so that an idle pass follows (the system used message 0, which our
// poster reserves for "no message").
inline constexpr MessageId kMsgWakeUp = 0x8000;

// The block of kMsgCopyData; valid only during the send.
struct CopyData {
    std::uintptr_t dataWord = 0;
    const void* data = nullptr;
    std::uint32_t size = 0;
};

}  // namespace platform
