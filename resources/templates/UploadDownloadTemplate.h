// Template 197: the question asked when an amplifier is detected: upload the design to it or
// download its design. Cancel is hidden; the dialog ends by itself when the amplifier goes.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace UploadDownloadIds {
inline constexpr std::uint32_t kTemplate = 197;
inline constexpr std::int32_t kUpload = 1118;
inline constexpr std::int32_t kDownload = 1119;
}  // namespace UploadDownloadIds

extern const DialogTemplate kUploadDownloadTemplate;
