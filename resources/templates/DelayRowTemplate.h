// Template 248: one row of the delay panel (title, the delay edit with its spin, and a
// bypass button that the row cuts off).
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace DelayRowIds {
inline constexpr std::uint32_t kTemplateId = 248;
inline constexpr std::int32_t kTitle = 1031;
inline constexpr std::int32_t kDelay = 1010;
inline constexpr std::int32_t kDelaySpin = 1009;
inline constexpr std::int32_t kBypass = 1011;
}  // namespace DelayRowIds

extern const DialogTemplate kDelayRowTemplate;
