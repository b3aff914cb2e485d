#include "resources/templates/BandRowTemplate.h"

namespace {

using namespace BandRowIds;

constexpr std::uint32_t kTabbed = WindowStyle::kControlDefault | WindowStyle::kTabStop;
constexpr std::uint32_t kValue = kTabbed | WindowStyle::kBorder | EditStyle::kRight | EditStyle::kAutoHScroll;
constexpr std::uint32_t kSpin =
    WindowStyle::kControlDefault | UpDownStyle::kAutoBuddy | UpDownStyle::kAlignRight | UpDownStyle::kArrowKeys;

// Each up-down control follows its edit, which it takes as its buddy. The slider and its end
// labels share the rows of the width and gain edits, which graphic mode hides.
constexpr DialogControl kControls[] = {
    {kTitle, ControlClass::kStatic, "Static", 1, 1, 48, 9, WindowStyle::kControlDefault | StaticStyle::kCenter},
    {kType, ControlClass::kComboBox, "", 1, 11, 48, 70, kTabbed | WindowStyle::kVScroll | ComboStyle::kDropDownList,
     0, kTypeNames},
    {kFrequency, ControlClass::kEdit, "", 1, 26, 48, 12, kValue},
    {kFrequencySpin, ControlClass::kUpDown, "", 0, 0, 10, 12, kSpin},
    {kWidth, ControlClass::kEdit, "", 1, 40, 48, 12, kValue},
    {kWidthSpin, ControlClass::kUpDown, "", 0, 0, 10, 12, kSpin},
    {kGain, ControlClass::kEdit, "", 1, 54, 48, 12, kValue},
    {kGainSpin, ControlClass::kUpDown, "", 0, 0, 10, 12, kSpin},
    {kGainSlider, ControlClass::kTrackbar, "", 20, 25, 26, 43,
     kTabbed | TrackbarStyle::kVertical | TrackbarStyle::kAutoTicks},
    {kBypass, ControlClass::kButton, "Bypass", 1, 69, 48, 13, kTabbed | ButtonStyle::kOwnerDraw},
    {kSliderTopLabel, ControlClass::kStatic, "+18", 1, 27, 18, 8, WindowStyle::kControlDefault | StaticStyle::kRight},
    {kSliderBottomLabel, ControlClass::kStatic, "-18", 1, 59, 18, 8, WindowStyle::kControlDefault | StaticStyle::kRight},
};

}  // namespace

const DialogTemplate kBandRowTemplate{
    kTemplateId,
    "",
    0,
    0,
    50,
    100,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
