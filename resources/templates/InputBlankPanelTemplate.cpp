#include "resources/templates/InputBlankPanelTemplate.h"

namespace {

constexpr DialogControl kControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "Input Control", 7, 5, 223, 10, WindowStyle::kControlDefault},
    {DialogId::kStatic, ControlClass::kStatic, "Input Control has no properties.", 7, 52, 223, 10,
     WindowStyle::kControlDefault | StaticStyle::kCenter},
};

}  // namespace

const DialogTemplate kInputBlankPanelTemplate{
    InputBlankPanelIds::kTemplateId,
    "",
    0,
    0,
    237,
    115,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
