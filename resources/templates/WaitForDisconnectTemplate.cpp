#include "resources/templates/WaitForDisconnectTemplate.h"

namespace {

constexpr DialogControl kControls[] = {
    {DialogId::kStatic, ControlClass::kStatic,
     "Disconnect Corvantine amplifier from the PC.\n\n Then, this dialog box will be closed.", 14, 12, 190, 30,
     WindowStyle::kControlDefault | StaticStyle::kNoPrefix},
    {DialogId::kCancel, ControlClass::kButton, "&Cancel", 84, 50, 50, 14,
     WindowStyle::kControlDefault | WindowStyle::kTabStop},
};

}  // namespace

const DialogTemplate kWaitForDisconnectTemplate{
    WaitForDisconnectIds::kTemplate,
    "Corvantine Editor",
    0,
    0,
    218,
    72,
    WindowStyle::kPopup | WindowStyle::kCaption | WindowStyle::kSysMenu | DialogStyle::kModalFrame |
        DialogStyle::kSetFont | DialogStyle::kCenter,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
