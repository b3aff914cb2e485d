// Template 332: the speaker-EQ panel (one framed preset row per speaker-EQ block).
#pragma once

#include <array>

#include "resources/templates/DialogTemplate.h"

namespace SpeakerEqPanelIds {
inline constexpr std::uint32_t kTemplateId = 332;
inline constexpr std::array<std::int32_t, 4> kRowFrames{1084, 1085, 1086, 1087};
}  // namespace SpeakerEqPanelIds

extern const DialogTemplate kSpeakerEqPanelTemplate;
