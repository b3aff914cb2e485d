#include "resources/templates/InputEqPanelTemplate.h"

namespace {

using namespace InputEqPanelIds;

constexpr std::uint32_t kText = WindowStyle::kControlDefault;
constexpr std::uint32_t kFrame = WindowStyle::kControlDefault | StaticStyle::kEtchedFrame;
constexpr std::uint32_t kButton = WindowStyle::kControlDefault | WindowStyle::kTabStop | ButtonStyle::kOwnerDraw;
constexpr std::uint32_t kRadio = WindowStyle::kControlDefault | ButtonStyle::kAutoRadioButton;

// The rows (50 x 69 once cut at their bypass button) fit their placeholders less the
// frames' borders; the captions on the left face the first row's type, width and gain.
// Bypass All sits in the bottom strip that the panel gives up.
constexpr DialogControl kControls[] = {
    {kTitle, ControlClass::kStatic, "Static", 7, 4, 200, 10, kText},
    {DialogId::kStatic, ControlClass::kStatic, "EQ Mode", 7, 18, 54, 8, kText},
    {kGraphic, ControlClass::kButton, "Graphic", 9, 29, 52, 10, kRadio | WindowStyle::kGroup | WindowStyle::kTabStop},
    {kParametric, ControlClass::kButton, "Parametric", 9, 40, 52, 10, kRadio},
    {kZeroAll, ControlClass::kButton, "Zero All", 7, 100, 52, 14, kButton},
    {kFrequencyCaption, ControlClass::kStatic, "Frequency", 7, 150, 54, 8, kText},
    {kWidthUnit, ControlClass::kButton, "Q/BW", 7, 162, 40, 12, kButton},
    {kGainCaption, ControlClass::kStatic, "Gain", 7, 178, 54, 8, kText},
    {kBypassAll, ControlClass::kButton, "Bypass All", 7, 195, 52, 12, kButton},
    {kBandFrames[0], ControlClass::kStatic, "Band 1", 65, 122, 52, 71, kFrame},
    {kBandFrames[1], ControlClass::kStatic, "Band 2", 118, 122, 52, 71, kFrame},
    {kBandFrames[2], ControlClass::kStatic, "Band 3", 171, 122, 52, 71, kFrame},
    {kBandFrames[3], ControlClass::kStatic, "Band 4", 224, 122, 52, 71, kFrame},
    {kBandFrames[4], ControlClass::kStatic, "Band 5", 277, 122, 52, 71, kFrame},
    {kBandFrames[5], ControlClass::kStatic, "Band 6", 330, 122, 52, 71, kFrame},
    {kBandFrames[6], ControlClass::kStatic, "Band 7", 383, 122, 52, 71, kFrame},
    {kBandFrames[7], ControlClass::kStatic, "Band 8", 436, 122, 52, 71, kFrame},
    {kBandFrames[8], ControlClass::kStatic, "Band 9", 489, 122, 52, 71, kFrame},
    {kGraphFrame, ControlClass::kStatic, "Frequency Graph", 65, 4, 476, 114, kFrame},
};

}  // namespace

const DialogTemplate kInputEqPanelTemplate{
    kTemplateId,
    "",
    0,
    0,
    549,
    207,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
