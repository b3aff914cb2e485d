// Template 186: the mute-input polarity chooser (normally open or normally closed).
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace MutePolarityIds {
inline constexpr std::uint32_t kTemplate = 186;
inline constexpr std::int32_t kNormallyOpen = 1111;
inline constexpr std::int32_t kNormallyClosed = 1112;
}  // namespace MutePolarityIds

extern const DialogTemplate kMutePolarityTemplate;
