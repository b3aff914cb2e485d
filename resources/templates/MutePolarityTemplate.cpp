#include "resources/templates/MutePolarityTemplate.h"

namespace {

using namespace MutePolarityIds;

constexpr std::uint32_t kRadio = WindowStyle::kControlDefault | WindowStyle::kTabStop | ButtonStyle::kAutoRadioButton;

constexpr DialogControl kControls[] = {
    {kNormallyOpen, ControlClass::kButton, "Normally &Open (NO)", 24, 14, 90, 10, kRadio | WindowStyle::kGroup},
    {kNormallyClosed, ControlClass::kButton, "Normally &Close (NC)", 24, 30, 90, 10, kRadio},
    {DialogId::kOk, ControlClass::kButton, "Apply", 14, 51, 50, 14,
     WindowStyle::kControlDefault | WindowStyle::kTabStop | WindowStyle::kGroup | ButtonStyle::kDefPushButton},
    {DialogId::kCancel, ControlClass::kButton, "Cancel", 68, 51, 50, 14,
     WindowStyle::kControlDefault | WindowStyle::kTabStop},
};

}  // namespace

const DialogTemplate kMutePolarityTemplate{
    kTemplate,
    "Mute Polarity",
    0,
    0,
    131,
    73,
    WindowStyle::kPopup | WindowStyle::kCaption | WindowStyle::kSysMenu | DialogStyle::kModalFrame |
        DialogStyle::kSetFont | DialogStyle::kCenter,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
