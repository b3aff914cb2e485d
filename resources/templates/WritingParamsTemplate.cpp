#include "resources/templates/WritingParamsTemplate.h"

namespace {

constexpr std::uint32_t kText = WindowStyle::kControlDefault | StaticStyle::kNoPrefix;

constexpr DialogControl kControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "Writing configuration to the amplifier.", 14, 12, 170, 9, kText},
    {DialogId::kStatic, ControlClass::kStatic, "Please wait.", 14, 28, 170, 9, kText},
};

}  // namespace

const DialogTemplate kWritingParamsTemplate{
    WritingParamsIds::kTemplate,
    "Progress",
    0,
    0,
    198,
    50,
    WindowStyle::kPopup | WindowStyle::kCaption | DialogStyle::kModalFrame | DialogStyle::kSetFont |
        DialogStyle::kCenter,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
