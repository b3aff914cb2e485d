// Template 349: the notice that the amplifier needs a newer firmware before this editor can
// use it. Its text takes the minimum version.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace UpdateExIds {
inline constexpr std::uint32_t kTemplate = 349;
}  // namespace UpdateExIds

extern const DialogTemplate kUpdateExTemplate;
