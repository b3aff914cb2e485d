// Template 345: the matrix-mixer panel (the grid of sixteen cross-point buttons, rows for
// the inputs and columns for the outputs, with their numbers and user labels).
#pragma once

#include <array>

#include "resources/templates/DialogTemplate.h"

namespace StdMixerPanelIds {
inline constexpr std::uint32_t kTemplateId = 345;
inline constexpr std::int32_t kTitle = 1031;
inline constexpr std::int32_t kInputCaption = 1130;
inline constexpr std::int32_t kOutputCaption = 1139;
inline constexpr std::array<std::int32_t, 4> kInputNumbers{1135, 1136, 1137, 1138};
inline constexpr std::array<std::int32_t, 4> kOutputNumbers{1145, 1146, 1147, 1148};
inline constexpr std::array<std::int32_t, 4> kInputLabels{1131, 1132, 1133, 1134};
inline constexpr std::array<std::int32_t, 4> kOutputLabels{1140, 1141, 1142, 1143};
// The cross-point buttons by (input row, output column).
inline constexpr std::array<std::array<std::int32_t, 4>, 4> kCrossPoints{{
    {1118, 1119, 1120, 1121},
    {1122, 1123, 1124, 1125},
    {1126, 1127, 1128, 1129},
    {1144, 1149, 1150, 1151},
}};
}  // namespace StdMixerPanelIds

extern const DialogTemplate kStdMixerPanelTemplate;
