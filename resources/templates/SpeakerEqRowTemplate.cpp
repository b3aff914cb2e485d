#include "resources/templates/SpeakerEqRowTemplate.h"

namespace {

using namespace SpeakerEqRowIds;

constexpr DialogControl kControls[] = {
    {kPresets, ControlClass::kComboBox, "", 6, 17, 140, 120,
     WindowStyle::kControlDefault | WindowStyle::kTabStop | WindowStyle::kVScroll | ComboStyle::kDropDownList},
    {kTitle, ControlClass::kStatic, "Static", 6, 4, 140, 9, WindowStyle::kControlDefault},
    {kBypass, ControlClass::kButton, "Bypass", 152, 16, 40, 14,
     WindowStyle::kControlDefault | WindowStyle::kTabStop | ButtonStyle::kOwnerDraw},
};

}  // namespace

const DialogTemplate kSpeakerEqRowTemplate{
    kTemplateId,
    "",
    0,
    0,
    198,
    38,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
