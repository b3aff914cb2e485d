// Template 350: asks the user to unplug the amplifier when a new or opened design could not
// go online with it; it closes by itself once no amplifier is left.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace WaitForDisconnectIds {
inline constexpr std::uint32_t kTemplate = 350;
}  // namespace WaitForDisconnectIds

extern const DialogTemplate kWaitForDisconnectTemplate;
