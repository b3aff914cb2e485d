// Template 183: the connection bar at the right end of the tool-bar strip, with the
// connection icon and the connection text.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace ConnectionBarIds {
inline constexpr std::uint32_t kTemplate = 183;
inline constexpr std::int32_t kText = 1109;
inline constexpr std::int32_t kIcon = 1110;
}  // namespace ConnectionBarIds

inline constexpr DialogControl kConnectionBarControls[] = {
    {ConnectionBarIds::kIcon, ControlClass::kStatic, "", 94, 0, 20, 21,
     WindowStyle::kControlDefault | StaticStyle::kOwnerDraw},
    {ConnectionBarIds::kText, ControlClass::kStatic, "??????", 2, 6, 89, 10,
     WindowStyle::kControlDefault | StaticStyle::kRight | StaticStyle::kNoPrefix},
};

inline constexpr DialogTemplate kConnectionBarTemplate{
    ConnectionBarIds::kTemplate,
    "",
    0,
    0,
    119,
    21,
    WindowStyle::kChild | WindowStyle::kVisible | DialogStyle::kSetFont | DialogStyle::kControl,
    0,
    "MS Shell Dlg",
    8,
    kConnectionBarControls,
};
