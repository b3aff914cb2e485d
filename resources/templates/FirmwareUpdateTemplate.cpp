#include "resources/templates/FirmwareUpdateTemplate.h"

namespace {

using namespace FirmwareUpdateIds;

constexpr std::uint32_t kButton = WindowStyle::kControlDefault | WindowStyle::kTabStop;

constexpr DialogControl kControls[] = {
    {kStatus, ControlClass::kStatic, "", 7, 7, 207, 38, WindowStyle::kControlDefault | StaticStyle::kCenter},
    {kFileList, ControlClass::kListBox, "", 48, 49, 124, 40,
     WindowStyle::kControlDefault | WindowStyle::kBorder | WindowStyle::kVScroll | WindowStyle::kTabStop |
         ListStyle::kNotify | ListStyle::kNoIntegralHeight},
    {kUpdate, ControlClass::kButton, "&Update firmware", 69, 95, 83, 18, kButton | ButtonStyle::kDefPushButton},
    {kProgress, ControlClass::kProgress, "", 12, 116, 196, 13, WindowStyle::kControlDefault | WindowStyle::kBorder},
    {kClose, ControlClass::kButton, "&Close", 85, 135, 50, 14, kButton},
    {kAdvanced, ControlClass::kButton, "&Advanced", 176, 50, 38, 14, kButton},
};

}  // namespace

const DialogTemplate kFirmwareUpdateTemplate{
    kTemplate,
    "Firmware Update",
    0,
    0,
    221,
    156,
    WindowStyle::kPopup | WindowStyle::kCaption | WindowStyle::kSysMenu | DialogStyle::kModalFrame |
        DialogStyle::kSetFont | DialogStyle::kCenter,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
