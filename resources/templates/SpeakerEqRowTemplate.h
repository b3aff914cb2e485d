// Template 246: one row of the speaker-EQ panel (title, the list of speaker presets, and a
// bypass button that the row cuts off).
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace SpeakerEqRowIds {
inline constexpr std::uint32_t kTemplateId = 246;
inline constexpr std::int32_t kTitle = 1031;
inline constexpr std::int32_t kPresets = 1047;
inline constexpr std::int32_t kBypass = 1045;
}  // namespace SpeakerEqRowIds

extern const DialogTemplate kSpeakerEqRowTemplate;
