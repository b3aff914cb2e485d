#include "resources/templates/SectionViewTemplate.h"

namespace {

using namespace SectionViewIds;

constexpr std::uint32_t kTabbed = WindowStyle::kControlDefault | WindowStyle::kTabStop;

constexpr DialogControl kControls[] = {
    {kTitle, ControlClass::kStatic, "Static", 1, 2, 70, 9, WindowStyle::kControlDefault | StaticStyle::kCenter},
    {kType, ControlClass::kComboBox, "", 1, 13, 70, 110, kTabbed | WindowStyle::kVScroll | ComboStyle::kDropDownList},
    {kFrequency, ControlClass::kEdit, "", 1, 31, 70, 13,
     kTabbed | WindowStyle::kBorder | EditStyle::kRight | EditStyle::kAutoHScroll},
    {kFrequencySpin, ControlClass::kUpDown, "", 0, 0, 10, 13,
     WindowStyle::kControlDefault | UpDownStyle::kAutoBuddy | UpDownStyle::kAlignRight | UpDownStyle::kArrowKeys},
    {kBypass, ControlClass::kButton, "Bypass", 1, 49, 70, 14, kTabbed | ButtonStyle::kOwnerDraw},
};

}  // namespace

const DialogTemplate kSectionViewTemplate{
    kTemplateId,
    "",
    0,
    0,
    72,
    69,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
