// Template 100: the About box with the program's picture, version and the connected
// amplifier's model and firmware.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace AboutIds {
inline constexpr std::uint32_t kTemplate = 100;
inline constexpr std::int32_t kVersion = 1066;
inline constexpr std::int32_t kModelValue = 1071;
inline constexpr std::int32_t kFirmwareValue = 1072;
inline constexpr std::int32_t kModelCaption = 1090;
inline constexpr std::int32_t kFirmwareCaption = 1091;
}  // namespace AboutIds

inline constexpr DialogControl kAboutControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "", 160, 17, 83, 40, WindowStyle::kControlDefault | StaticStyle::kBitmap},
    {AboutIds::kVersion, ControlClass::kStatic, "Vesk Corvantine Editor Version ###", 19, 17, 135, 8,
     WindowStyle::kControlDefault | StaticStyle::kNoPrefix},
    {DialogId::kStatic, ControlClass::kStatic,
     "DSP configuration for Corvantine\ninstalled-sound amplifiers.", 19, 35, 135, 18,
     WindowStyle::kControlDefault | StaticStyle::kNoPrefix},
    {AboutIds::kModelCaption, ControlClass::kStatic, "Product Name:", 19, 72, 62, 8, WindowStyle::kControlDefault},
    {AboutIds::kModelValue, ControlClass::kStatic, "????", 85, 72, 80, 8,
     WindowStyle::kControlDefault | StaticStyle::kNoPrefix},
    {AboutIds::kFirmwareCaption, ControlClass::kStatic, "Firmware Version:", 19, 86, 62, 8,
     WindowStyle::kControlDefault},
    {AboutIds::kFirmwareValue, ControlClass::kStatic, "????", 85, 86, 80, 8,
     WindowStyle::kControlDefault | StaticStyle::kNoPrefix},
};

inline constexpr DialogTemplate kAboutTemplate{
    AboutIds::kTemplate,
    "About Corvantine Editor",
    0,
    0,
    261,
    121,
    WindowStyle::kPopup | WindowStyle::kCaption | WindowStyle::kSysMenu | DialogStyle::kModalFrame |
        DialogStyle::kSetFont | DialogStyle::kCenter,
    0,
    "Arial",
    8,
    kAboutControls,
};
