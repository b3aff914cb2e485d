// Template 189: the firmware dialog. The file list is hidden (the dialog collapsed over it)
// until the user asks for it with Advanced.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace FirmwareUpdateIds {
inline constexpr std::uint32_t kTemplate = 189;
inline constexpr std::int32_t kStatus = 1114;
inline constexpr std::int32_t kFileList = 1117;
inline constexpr std::int32_t kUpdate = DialogId::kOk;
inline constexpr std::int32_t kProgress = 1115;
inline constexpr std::int32_t kClose = DialogId::kCancel;
inline constexpr std::int32_t kAdvanced = 1086;
}  // namespace FirmwareUpdateIds

extern const DialogTemplate kFirmwareUpdateTemplate;
