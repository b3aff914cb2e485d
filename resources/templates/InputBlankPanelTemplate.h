// Template 347: the panel of the input-gain blocks, which have nothing to edit.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace InputBlankPanelIds {
inline constexpr std::uint32_t kTemplateId = 347;
}  // namespace InputBlankPanelIds

extern const DialogTemplate kInputBlankPanelTemplate;
