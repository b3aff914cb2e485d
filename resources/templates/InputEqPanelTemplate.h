// Template 335: the input-EQ panel (title, the editing mode, the row captions with the Q/BW
// toggle, Zero All and the unused Bypass All, nine band-row placeholders under the frame of
// the response graph).
#pragma once

#include <array>

#include "resources/templates/DialogTemplate.h"

namespace InputEqPanelIds {
inline constexpr std::uint32_t kTemplateId = 335;
inline constexpr std::int32_t kTitle = 1031;
inline constexpr std::int32_t kGraphic = 1085;
inline constexpr std::int32_t kParametric = 1086;
inline constexpr std::int32_t kFrequencyCaption = 1060;
inline constexpr std::int32_t kWidthUnit = 1057;
inline constexpr std::int32_t kGainCaption = 1059;
inline constexpr std::int32_t kZeroAll = 1055;
inline constexpr std::int32_t kBypassAll = 1054;
inline constexpr std::int32_t kGraphFrame = 1014;
// The placeholders of band rows 1 to 9, in band order.
inline constexpr std::array<std::int32_t, 9> kBandFrames{1015, 1016, 1017, 1018, 1024, 1025, 1026, 1027, 1028};
}  // namespace InputEqPanelIds

extern const DialogTemplate kInputEqPanelTemplate;
