#include "resources/templates/LimiterPanelTemplate.h"

namespace {

using namespace LimiterPanelIds;

constexpr std::uint32_t kText = WindowStyle::kControlDefault;
constexpr std::uint32_t kRightText = WindowStyle::kControlDefault | StaticStyle::kRight;
constexpr std::uint32_t kCentredText = WindowStyle::kControlDefault | StaticStyle::kCenter;
constexpr std::uint32_t kGroup = WindowStyle::kControlDefault | ButtonStyle::kGroupBox;
constexpr std::uint32_t kReadOnly =
    WindowStyle::kControlDefault | WindowStyle::kBorder | EditStyle::kReadOnly | EditStyle::kAutoHScroll;
constexpr std::uint32_t kValue = WindowStyle::kControlDefault | WindowStyle::kTabStop | WindowStyle::kBorder |
                                 EditStyle::kRight | EditStyle::kAutoHScroll;
constexpr std::uint32_t kSpin =
    WindowStyle::kControlDefault | UpDownStyle::kAutoBuddy | UpDownStyle::kAlignRight | UpDownStyle::kArrowKeys;

// Each up-down control follows its edit, which it takes as its buddy.
constexpr DialogControl kControls[] = {
    {kTitle, ControlClass::kStatic, "Static", 7, 5, 240, 10, kText},
    {DialogId::kStatic, ControlClass::kButton, "  Limiter Preset", 7, 18, 240, 44, kGroup},
    {DialogId::kStatic, ControlClass::kStatic, "EQ Type:", 15, 32, 44, 8, kText},
    {kPresetName, ControlClass::kEdit, "", 62, 30, 176, 12, kReadOnly},
    {kUnused, ControlClass::kEdit, "", 200, 30, 38, 12, kReadOnly & ~WindowStyle::kVisible},
    {DialogId::kStatic, ControlClass::kStatic, "Impedance:", 15, 47, 44, 8, kText},
    {kImpedance, ControlClass::kStatic, "---", 62, 47, 50, 8, kText},
    {DialogId::kStatic, ControlClass::kStatic, "Voltage:", 130, 47, 38, 8, kText},
    {kVoltage, ControlClass::kStatic, "---", 170, 47, 50, 8, kText},
    {DialogId::kStatic, ControlClass::kButton, "  Limiter Setup", 7, 68, 240, 70, kGroup},
    {DialogId::kStatic, ControlClass::kStatic, "Threshold(V)", 62, 82, 56, 8, kCentredText},
    {DialogId::kStatic, ControlClass::kStatic, "Attack(msec)", 122, 82, 56, 8, kCentredText},
    {DialogId::kStatic, ControlClass::kStatic, "Release(msec)", 182, 82, 56, 8, kCentredText},
    {DialogId::kStatic, ControlClass::kStatic, "V Peak", 13, 98, 44, 8, kRightText},
    {kPeakThreshold, ControlClass::kEdit, "", 62, 96, 56, 13, kValue},
    {kPeakThresholdSpin, ControlClass::kUpDown, "", 0, 0, 10, 13, kSpin},
    {kPeakAttack, ControlClass::kEdit, "", 122, 96, 56, 13, kValue},
    {kPeakAttackSpin, ControlClass::kUpDown, "", 0, 0, 10, 13, kSpin},
    {kPeakRelease, ControlClass::kEdit, "", 182, 96, 56, 13, kValue},
    {kPeakReleaseSpin, ControlClass::kUpDown, "", 0, 0, 10, 13, kSpin},
    {DialogId::kStatic, ControlClass::kStatic, "V RMS", 13, 118, 44, 8, kRightText},
    {kRmsThreshold, ControlClass::kEdit, "", 62, 116, 56, 13, kValue},
    {kRmsThresholdSpin, ControlClass::kUpDown, "", 0, 0, 10, 13, kSpin},
    {kRmsAttack, ControlClass::kEdit, "", 122, 116, 56, 13, kValue},
    {kRmsAttackSpin, ControlClass::kUpDown, "", 0, 0, 10, 13, kSpin},
    {kRmsRelease, ControlClass::kEdit, "", 182, 116, 56, 13, kValue},
    {kRmsReleaseSpin, ControlClass::kUpDown, "", 0, 0, 10, 13, kSpin},
};

}  // namespace

const DialogTemplate kLimiterPanelTemplate{
    kTemplateId,
    "",
    0,
    0,
    254,
    145,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
