// Template 202: the notice shown while the design waits for parameter writes to end before
// it is closed or replaced. Its last text grows dots while it waits.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace WritingParamsIds {
inline constexpr std::uint32_t kTemplate = 202;
}  // namespace WritingParamsIds

extern const DialogTemplate kWritingParamsTemplate;
