#include "resources/templates/CrossoverPanelTemplate.h"

namespace {

using namespace CrossoverPanelIds;

constexpr std::uint32_t kText = WindowStyle::kControlDefault;
constexpr std::uint32_t kFrame = WindowStyle::kControlDefault | StaticStyle::kEtchedFrame;

// The section views (72 x 49 once cut at their bypass button) fit their placeholders less
// the frames' borders, so the panel keeps its height; the row captions face the views' type
// and frequency rows.
constexpr DialogControl kControls[] = {
    {kTitle, ControlClass::kStatic, "Static", 7, 5, 215, 10, kText},
    {kGraphFrame, ControlClass::kStatic, "Frequency Graph", 230, 5, 245, 197, kFrame},
    {DialogId::kStatic, ControlClass::kStatic, "Impedance:", 7, 86, 55, 8, kText},
    {kImpedance, ControlClass::kStatic, "---", 68, 86, 60, 8, kText},
    {DialogId::kStatic, ControlClass::kStatic, "Type", 7, 37, 55, 8, kText},
    {DialogId::kStatic, ControlClass::kStatic, "Frequency (Hz)", 7, 55, 58, 8, kText},
    {kHighPassFrame, ControlClass::kStatic, "High Pass", 68, 20, 74, 52, kFrame},
    {kLowPassFrame, ControlClass::kStatic, "Low Pass", 148, 20, 74, 52, kFrame},
};

}  // namespace

const DialogTemplate kCrossoverPanelTemplate{
    kTemplateId,
    "",
    0,
    0,
    482,
    207,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
