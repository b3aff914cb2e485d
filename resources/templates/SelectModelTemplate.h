// Template 177: the model question of a new design when no single amplifier decides it.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace SelectModelIds {
inline constexpr std::uint32_t kTemplate = 177;
inline constexpr std::int32_t kMV220 = 1108;
inline constexpr std::int32_t kMV440 = 1109;
inline constexpr std::int32_t kMV340A = 1110;
}  // namespace SelectModelIds

inline constexpr DialogControl kSelectModelControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "Which amplifier design do you want to create?", 10, 8, 150, 18,
     WindowStyle::kControlDefault},
    {SelectModelIds::kMV220, ControlClass::kButton, "MV22&0 / MV220P", 28, 30, 110, 10,
     WindowStyle::kControlDefault | WindowStyle::kTabStop | WindowStyle::kGroup | ButtonStyle::kAutoRadioButton},
    {SelectModelIds::kMV440, ControlClass::kButton, "MV44&0 / MV440A", 28, 43, 110, 10,
     WindowStyle::kControlDefault | ButtonStyle::kAutoRadioButton},
    {SelectModelIds::kMV340A, ControlClass::kButton, "MV340&A", 28, 56, 110, 10,
     WindowStyle::kControlDefault | ButtonStyle::kAutoRadioButton},
    {DialogId::kOk, ControlClass::kButton, "OK", 59, 72, 50, 14,
     WindowStyle::kControlDefault | WindowStyle::kTabStop | WindowStyle::kGroup | ButtonStyle::kDefPushButton},
};

inline constexpr DialogTemplate kSelectModelTemplate{
    SelectModelIds::kTemplate,
    "Select model",
    0,
    0,
    169,
    92,
    WindowStyle::kPopup | WindowStyle::kCaption | WindowStyle::kSysMenu | DialogStyle::kModalFrame |
        DialogStyle::kSetFont | DialogStyle::kCenter,
    0,
    "MS Shell Dlg",
    8,
    kSelectModelControls,
};
