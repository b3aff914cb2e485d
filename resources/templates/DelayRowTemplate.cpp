#include "resources/templates/DelayRowTemplate.h"

namespace {

using namespace DelayRowIds;

constexpr std::uint32_t kValue = WindowStyle::kControlDefault | WindowStyle::kTabStop | WindowStyle::kBorder |
                                 EditStyle::kRight | EditStyle::kAutoHScroll;

constexpr DialogControl kControls[] = {
    {kTitle, ControlClass::kStatic, "Static", 6, 3, 60, 9, WindowStyle::kControlDefault},
    {kDelay, ControlClass::kEdit, "", 6, 15, 60, 13, kValue},
    {kDelaySpin, ControlClass::kUpDown, "", 0, 0, 10, 13,
     WindowStyle::kControlDefault | UpDownStyle::kAutoBuddy | UpDownStyle::kAlignRight | UpDownStyle::kArrowKeys},
    {kBypass, ControlClass::kButton, "Bypass", 120, 15, 40, 14, WindowStyle::kControlDefault | WindowStyle::kTabStop},
};

}  // namespace

const DialogTemplate kDelayRowTemplate{
    kTemplateId,
    "",
    0,
    0,
    166,
    36,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
