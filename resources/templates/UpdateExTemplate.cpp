#include "resources/templates/UpdateExTemplate.h"

namespace {

constexpr DialogControl kControls[] = {
    {DialogId::kStatic, ControlClass::kStatic,
     "The firmware version of the connected amplifier must be v%u.%02u or higher to use this version of Corvantine "
     "editor.\nPress OK button to update firmware now.\n\nIf you do not want to update the firmware now, unplug the USB "
     "cable.",
     15, 14, 233, 50, WindowStyle::kControlDefault},
    {DialogId::kOk, ControlClass::kButton, "&OK", 107, 66, 50, 14,
     WindowStyle::kControlDefault | WindowStyle::kTabStop | ButtonStyle::kDefPushButton},
};

}  // namespace

const DialogTemplate kUpdateExTemplate{
    UpdateExIds::kTemplate,
    "Corvantine Editor",
    0,
    0,
    263,
    93,
    WindowStyle::kPopup | WindowStyle::kCaption | WindowStyle::kSysMenu | DialogStyle::kModalFrame |
        DialogStyle::kSetFont | DialogStyle::kCenter,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
