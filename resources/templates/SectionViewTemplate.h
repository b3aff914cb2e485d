// Template 139: the filter-section view embedded twice in the crossover panel (filter type,
// frequency edit with its spin, title; the bypass button below is cut off).
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace SectionViewIds {
inline constexpr std::uint32_t kTemplateId = 139;
inline constexpr std::int32_t kTitle = 1031;
inline constexpr std::int32_t kType = 1035;
inline constexpr std::int32_t kFrequency = 1024;
inline constexpr std::int32_t kFrequencySpin = 1028;
inline constexpr std::int32_t kBypass = 1045;
}  // namespace SectionViewIds

extern const DialogTemplate kSectionViewTemplate;
