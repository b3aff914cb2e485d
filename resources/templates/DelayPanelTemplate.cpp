#include "resources/templates/DelayPanelTemplate.h"

namespace {

using namespace DelayPanelIds;

constexpr std::uint32_t kText = WindowStyle::kControlDefault;
constexpr std::uint32_t kFrame = WindowStyle::kControlDefault | StaticStyle::kEtchedFrame;
constexpr std::uint32_t kList =
    WindowStyle::kControlDefault | WindowStyle::kTabStop | WindowStyle::kVScroll | ComboStyle::kDropDownList;

// The row frames hold a whole delay row (its bypass button included) plus the frame's
// border; the panel narrows to the rows once their bypass buttons are cut off, so the units
// list sits below the rows in their column. The graph frame spans the rows so that each
// track can face its row, and reaches far enough below the last row for that track's
// handle and the scale under it.
constexpr DialogControl kControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "Signal Delay", 7, 5, 70, 10, kText},
    {kRowFrames[0], ControlClass::kStatic, "Delay 1", 7, 18, 168, 39, kFrame},
    {kRowFrames[1], ControlClass::kStatic, "Delay 2", 7, 59, 168, 39, kFrame},
    {kRowFrames[2], ControlClass::kStatic, "Delay 3", 7, 100, 168, 39, kFrame},
    {kRowFrames[3], ControlClass::kStatic, "Delay 4", 7, 141, 168, 39, kFrame},
    {DialogId::kStatic, ControlClass::kStatic, "Units", 7, 186, 24, 8, kText},
    {kUnits, ControlClass::kComboBox, "", 33, 184, 44, 60, kList},
    {kGraphFrame, ControlClass::kStatic, "Delay Graph!", 180, 4, 379, 194, kFrame},
};

}  // namespace

const DialogTemplate kDelayPanelTemplate{
    kTemplateId,
    "",
    0,
    0,
    566,
    203,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
