// Template 331: the delay panel (one framed row per delay channel, the display unit, and
// the frame of the delay graph).
#pragma once

#include <array>

#include "resources/templates/DialogTemplate.h"

namespace DelayPanelIds {
inline constexpr std::uint32_t kTemplateId = 331;
inline constexpr std::int32_t kUnits = 1008;
inline constexpr std::int32_t kGraphFrame = 1014;
inline constexpr std::array<std::int32_t, 4> kRowFrames{1082, 1083, 1084, 1085};
}  // namespace DelayPanelIds

extern const DialogTemplate kDelayPanelTemplate;
