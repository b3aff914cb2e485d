// Template 183: the connection bar at the right end of the tool-bar strip, with the
// connection icon and the connection text.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace ConnectionBarIds {
inline constexpr std::uint32_t kTemplate = 183;
inline constexpr std::int32_t kText = 1109;
inline constexpr std::int32_t kIcon = 1110;
}  // namespace ConnectionBarIds

// The text is as wide as the widest connection text ("MV340A  v99.99 - Connected") needs in
// DejaVu Sans 8 pt with room to spare, so that it never wraps; the lamp sits the same 3 units
// right of it and the bar ends the same 5 units after the lamp.
inline constexpr DialogControl kConnectionBarControls[] = {
    {ConnectionBarIds::kIcon, ControlClass::kStatic, "", 105, 0, 20, 21,
     WindowStyle::kControlDefault | StaticStyle::kOwnerDraw},
    {ConnectionBarIds::kText, ControlClass::kStatic, "??????", 2, 6, 100, 10,
     WindowStyle::kControlDefault | StaticStyle::kRight | StaticStyle::kNoPrefix},
};

inline constexpr DialogTemplate kConnectionBarTemplate{
    ConnectionBarIds::kTemplate,
    "",
    0,
    0,
    130,
    21,
    WindowStyle::kChild | WindowStyle::kVisible | DialogStyle::kSetFont | DialogStyle::kControl,
    0,
    "MS Shell Dlg",
    8,
    kConnectionBarControls,
};
