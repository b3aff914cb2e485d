#include "resources/templates/OutputPolarityPanelTemplate.h"

namespace {

using namespace OutputPolarityPanelIds;

constexpr std::uint32_t kText = WindowStyle::kControlDefault;
constexpr std::uint32_t kButton = WindowStyle::kControlDefault | WindowStyle::kTabStop | ButtonStyle::kOwnerDraw;

// Each output's caption starts below the top of its button, so hiding the rows from one
// button's top down takes the captions along.
constexpr DialogControl kControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "Output Polarity", 7, 5, 148, 10, kText},
    {DialogId::kStatic, ControlClass::kStatic, "Amp Output 1", 7, 24, 74, 8, kText},
    {kButtons[0], ControlClass::kButton, "P", 85, 20, 60, 16, kButton},
    {DialogId::kStatic, ControlClass::kStatic, "Amp Output 2", 7, 44, 74, 8, kText},
    {kButtons[1], ControlClass::kButton, "P", 85, 40, 60, 16, kButton},
    {DialogId::kStatic, ControlClass::kStatic, "Amp Output 3", 7, 64, 74, 8, kText},
    {kButtons[2], ControlClass::kButton, "P", 85, 60, 60, 16, kButton},
    {DialogId::kStatic, ControlClass::kStatic, "Amp Output 4", 7, 84, 74, 8, kText},
    {kButtons[3], ControlClass::kButton, "P", 85, 80, 60, 16, kButton},
};

}  // namespace

const DialogTemplate kOutputPolarityPanelTemplate{
    kTemplateId,
    "",
    0,
    0,
    162,
    103,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
