// Template 346: the limiter panel (the applied speaker preset, the channel's impedance and
// voltage, and the peak and RMS limiter rows with threshold, attack and release).
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace LimiterPanelIds {
inline constexpr std::uint32_t kTemplateId = 346;
inline constexpr std::int32_t kTitle = 1031;
inline constexpr std::int32_t kPresetName = 1122;
inline constexpr std::int32_t kUnused = 1123;
inline constexpr std::int32_t kImpedance = 1125;
inline constexpr std::int32_t kVoltage = 1126;
inline constexpr std::int32_t kPeakThreshold = 1106;
inline constexpr std::int32_t kPeakThresholdSpin = 1107;
inline constexpr std::int32_t kPeakAttack = 1025;
inline constexpr std::int32_t kPeakAttackSpin = 1029;
inline constexpr std::int32_t kPeakRelease = 1026;
inline constexpr std::int32_t kPeakReleaseSpin = 1030;
inline constexpr std::int32_t kRmsThreshold = 1027;
inline constexpr std::int32_t kRmsThresholdSpin = 1032;
inline constexpr std::int32_t kRmsAttack = 1035;
inline constexpr std::int32_t kRmsAttackSpin = 1036;
inline constexpr std::int32_t kRmsRelease = 1037;
inline constexpr std::int32_t kRmsReleaseSpin = 1038;
}  // namespace LimiterPanelIds

extern const DialogTemplate kLimiterPanelTemplate;
