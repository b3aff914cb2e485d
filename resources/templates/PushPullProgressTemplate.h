// Template 194: the progress of a parameter download, with the Abort button that shows only
// when the progress stalls.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace PushPullProgressIds {
inline constexpr std::uint32_t kTemplate = 194;
inline constexpr std::int32_t kProgress = 1126;
inline constexpr std::int32_t kAbort = DialogId::kCancel;
}  // namespace PushPullProgressIds

extern const DialogTemplate kPushPullProgressTemplate;
