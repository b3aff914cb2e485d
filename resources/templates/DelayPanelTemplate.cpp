#include "resources/templates/DelayPanelTemplate.h"

namespace {

using namespace DelayPanelIds;

constexpr std::uint32_t kText = WindowStyle::kControlDefault;
constexpr std::uint32_t kFrame = WindowStyle::kControlDefault | StaticStyle::kEtchedFrame;
constexpr std::uint32_t kList =
    WindowStyle::kControlDefault | WindowStyle::kTabStop | WindowStyle::kVScroll | ComboStyle::kDropDownList;

// The row frames hold a whole delay row (its bypass button included) plus the frame's
// border; the graph frame spans the rows so that each track can face its row.
constexpr DialogControl kControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "Signal Delay", 7, 5, 120, 10, kText},
    {DialogId::kStatic, ControlClass::kStatic, "Units", 7, 19, 24, 8, kText},
    {kUnits, ControlClass::kComboBox, "", 34, 17, 60, 60, kList},
    {kRowFrames[0], ControlClass::kStatic, "Delay 1", 7, 32, 168, 39, kFrame},
    {kRowFrames[1], ControlClass::kStatic, "Delay 2", 7, 73, 168, 39, kFrame},
    {kRowFrames[2], ControlClass::kStatic, "Delay 3", 7, 114, 168, 39, kFrame},
    {kRowFrames[3], ControlClass::kStatic, "Delay 4", 7, 155, 168, 39, kFrame},
    {kGraphFrame, ControlClass::kStatic, "Delay Graph!", 180, 5, 379, 193, kFrame},
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
