// A template with one control of every kind the builder knows, plus a custom class, for the
// dialog, control and screenshot tests.
#pragma once

#include "resources/templates/DialogTemplate.h"

namespace test_templates {

inline constexpr std::uint32_t kTestDialogId = 900;
inline constexpr std::int32_t kTitle = 1031;
inline constexpr std::int32_t kValueEdit = 1106;
inline constexpr std::int32_t kValueSpin = 1107;
inline constexpr std::int32_t kChoice = 1110;
inline constexpr std::int32_t kOpen = 1111;
inline constexpr std::int32_t kClosed = 1112;
inline constexpr std::int32_t kCheck = 1113;
inline constexpr std::int32_t kGauge = 1115;
inline constexpr std::int32_t kSlider = 1120;
inline constexpr std::int32_t kAdvanced = 1130;

inline constexpr std::string_view kChoices[] = {"Low", "High"};

inline constexpr std::uint32_t kTabbed = WindowStyle::kControlDefault | WindowStyle::kTabStop;

inline constexpr DialogControl kTestControls[] = {
    {kTitle, ControlClass::kStatic, "&Title && more", 7, 7, 100, 8, WindowStyle::kControlDefault},
    {kValueEdit, ControlClass::kEdit, "0", 7, 20, 40, 12, kTabbed | WindowStyle::kBorder | EditStyle::kRight},
    {kValueSpin, ControlClass::kUpDown, "", 0, 0, 11, 12,
     WindowStyle::kControlDefault | UpDownStyle::kAutoBuddy | UpDownStyle::kAlignRight | UpDownStyle::kArrowKeys |
         UpDownStyle::kSetBuddyInt | UpDownStyle::kNoThousands},
    {kChoice, ControlClass::kComboBox, "", 60, 20, 60, 50, kTabbed | ComboStyle::kDropDownList, 0, kChoices},
    {kOpen, ControlClass::kButton, "Normally &Open", 7, 40, 80, 10,
     kTabbed | WindowStyle::kGroup | ButtonStyle::kAutoRadioButton},
    {kClosed, ControlClass::kButton, "Normally &Close", 7, 52, 80, 10,
     WindowStyle::kControlDefault | ButtonStyle::kAutoRadioButton},
    {kCheck, ControlClass::kButton, "Check", 90, 40, 50, 10, kTabbed | WindowStyle::kGroup | ButtonStyle::kAutoCheckBox},
    {kGauge, "VeskGauge", "", 7, 66, 100, 10, WindowStyle::kControlDefault},
    {kSlider, ControlClass::kTrackbar, "", 170, 7, 30, 60,
     kTabbed | TrackbarStyle::kVertical | TrackbarStyle::kAutoTicks},
    {DialogId::kOk, ControlClass::kButton, "OK", 60, 80, 50, 14, kTabbed | ButtonStyle::kDefPushButton},
    {DialogId::kCancel, ControlClass::kButton, "Cancel", 115, 80, 50, 14, kTabbed},
    {kAdvanced, ControlClass::kButton, "&Advanced", 170, 80, 40, 14, kTabbed},
};

inline constexpr DialogTemplate kTestDialog{
    kTestDialogId,
    "Test Dialog",
    0,
    0,
    220,
    100,
    WindowStyle::kPopup | WindowStyle::kCaption | WindowStyle::kSysMenu | DialogStyle::kModalFrame,
    0,
    "MS Shell Dlg",
    8,
    kTestControls,
};

}  // namespace test_templates
