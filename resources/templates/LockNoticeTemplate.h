// Template 351: the lock notice shown while the amplifier cannot be used (its CONFIG switch,
// a store of the configuration). The message text is set before every showing.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace LockNoticeIds {
inline constexpr std::uint32_t kTemplate = 351;
inline constexpr std::int32_t kMessage = 1000;
}  // namespace LockNoticeIds

inline constexpr DialogControl kLockNoticeControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "", 16, 22, 21, 20, WindowStyle::kControlDefault | StaticStyle::kIcon},
    {LockNoticeIds::kMessage, ControlClass::kStatic, "Static", 48, 15, 169, 35,
     WindowStyle::kControlDefault | StaticStyle::kNoPrefix},
    {DialogId::kCancel, ControlClass::kButton, "Cancel", 178, 46, 50, 14, WindowStyle::kChild | WindowStyle::kTabStop},
};

inline constexpr DialogTemplate kLockNoticeTemplate{
    LockNoticeIds::kTemplate,
    "Corvantine Editor",
    0,
    0,
    235,
    67,
    WindowStyle::kPopup | WindowStyle::kCaption | DialogStyle::kModalFrame | DialogStyle::kSetFont | DialogStyle::kCenter,
    0,
    "MS Shell Dlg",
    8,
    kLockNoticeControls,
};
