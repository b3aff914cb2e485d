#include "resources/templates/UploadDownloadTemplate.h"

namespace {

using namespace UploadDownloadIds;

constexpr std::uint32_t kText = WindowStyle::kControlDefault | StaticStyle::kNoPrefix;
constexpr std::uint32_t kButton = WindowStyle::kControlDefault | WindowStyle::kTabStop;

constexpr DialogControl kControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "", 16, 16, 21, 20, WindowStyle::kControlDefault | StaticStyle::kIcon},
    {DialogId::kStatic, ControlClass::kStatic, "Corvantine Editor has detected an amplifier.", 48, 16, 205, 9, kText},
    {DialogId::kStatic, ControlClass::kStatic,
     "Would you like to upload the design to the amplifier, \nor download the current amplifier design to the "
     "software?\nUploading will overwrite the existing amplifier configuration.",
     48, 32, 210, 28, kText},
    {DialogId::kStatic, ControlClass::kStatic,
     "If you want neither Upload nor Download, unplug the amplifier from PC.", 48, 66, 210, 18, kText},
    {kUpload, ControlClass::kButton, "&Upload", 72, 90, 56, 14, kButton | WindowStyle::kGroup},
    {kDownload, ControlClass::kButton, "&Download", 136, 90, 56, 14, kButton | ButtonStyle::kDefPushButton},
    {DialogId::kCancel, ControlClass::kButton, "&Cancel", 200, 90, 50, 14, WindowStyle::kChild | WindowStyle::kTabStop},
};

}  // namespace

const DialogTemplate kUploadDownloadTemplate{
    kTemplate,
    "Corvantine Editor",
    0,
    0,
    263,
    113,
    WindowStyle::kPopup | WindowStyle::kCaption | WindowStyle::kSysMenu | DialogStyle::kModalFrame |
        DialogStyle::kSetFont | DialogStyle::kCenter,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
