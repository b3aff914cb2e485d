#include "resources/templates/StdMixerPanelTemplate.h"

namespace {

using namespace StdMixerPanelIds;

constexpr std::uint32_t kText = WindowStyle::kControlDefault | StaticStyle::kCenterImage;
constexpr std::uint32_t kNumber = WindowStyle::kControlDefault | StaticStyle::kCenter | StaticStyle::kCenterImage;
constexpr std::uint32_t kLabel = WindowStyle::kControlDefault | WindowStyle::kTabStop | WindowStyle::kBorder |
                                 EditStyle::kCenter | EditStyle::kAutoHScroll;
constexpr std::uint32_t kButton = WindowStyle::kControlDefault | WindowStyle::kTabStop | ButtonStyle::kPushButton;

// Columns of the grid start at x = 75 every 36 units, rows at y = 46 every 20; the gaps
// between cells are wider than the margin the panel keeps around the grid it uses, so a
// two-channel panel cuts cleanly after the second row and column.
constexpr DialogControl kControls[] = {
    {kTitle, ControlClass::kStatic, "Static", 7, 4, 205, 10, WindowStyle::kControlDefault},
    {kOutputCaption, ControlClass::kStatic, "Out :", 51, 18, 22, 10, kText},
    {kOutputNumbers[0], ControlClass::kStatic, "1", 75, 18, 32, 10, kNumber},
    {kOutputNumbers[1], ControlClass::kStatic, "2", 111, 18, 32, 10, kNumber},
    {kOutputNumbers[2], ControlClass::kStatic, "3", 147, 18, 32, 10, kNumber},
    {kOutputNumbers[3], ControlClass::kStatic, "4", 183, 18, 32, 10, kNumber},
    {kOutputLabels[0], ControlClass::kEdit, "", 75, 30, 32, 12, kLabel},
    {kOutputLabels[1], ControlClass::kEdit, "", 111, 30, 32, 12, kLabel},
    {kOutputLabels[2], ControlClass::kEdit, "", 147, 30, 32, 12, kLabel},
    {kOutputLabels[3], ControlClass::kEdit, "", 183, 30, 32, 12, kLabel},
    {kInputCaption, ControlClass::kStatic, " In :", 7, 31, 20, 10, kText},
    {kInputNumbers[0], ControlClass::kStatic, "1", 7, 46, 20, 16, kNumber},
    {kInputLabels[0], ControlClass::kEdit, "", 29, 48, 42, 12, kLabel},
    {kCrossPoints[0][0], ControlClass::kButton, "+12.0", 75, 46, 32, 16, kButton},
    {kCrossPoints[0][1], ControlClass::kButton, "+12.0", 111, 46, 32, 16, kButton},
    {kCrossPoints[0][2], ControlClass::kButton, "+12.0", 147, 46, 32, 16, kButton},
    {kCrossPoints[0][3], ControlClass::kButton, "+12.0", 183, 46, 32, 16, kButton},
    {kInputNumbers[1], ControlClass::kStatic, "2", 7, 66, 20, 16, kNumber},
    {kInputLabels[1], ControlClass::kEdit, "", 29, 68, 42, 12, kLabel},
    {kCrossPoints[1][0], ControlClass::kButton, "+12.0", 75, 66, 32, 16, kButton},
    {kCrossPoints[1][1], ControlClass::kButton, "+12.0", 111, 66, 32, 16, kButton},
    {kCrossPoints[1][2], ControlClass::kButton, "+12.0", 147, 66, 32, 16, kButton},
    {kCrossPoints[1][3], ControlClass::kButton, "+12.0", 183, 66, 32, 16, kButton},
    {kInputNumbers[2], ControlClass::kStatic, "3", 7, 86, 20, 16, kNumber},
    {kInputLabels[2], ControlClass::kEdit, "", 29, 88, 42, 12, kLabel},
    {kCrossPoints[2][0], ControlClass::kButton, "+12.0", 75, 86, 32, 16, kButton},
    {kCrossPoints[2][1], ControlClass::kButton, "+12.0", 111, 86, 32, 16, kButton},
    {kCrossPoints[2][2], ControlClass::kButton, "+12.0", 147, 86, 32, 16, kButton},
    {kCrossPoints[2][3], ControlClass::kButton, "+12.0", 183, 86, 32, 16, kButton},
    {kInputNumbers[3], ControlClass::kStatic, "4", 7, 106, 20, 16, kNumber},
    {kInputLabels[3], ControlClass::kEdit, "", 29, 108, 42, 12, kLabel},
    {kCrossPoints[3][0], ControlClass::kButton, "+12.0", 75, 106, 32, 16, kButton},
    {kCrossPoints[3][1], ControlClass::kButton, "+12.0", 111, 106, 32, 16, kButton},
    {kCrossPoints[3][2], ControlClass::kButton, "+12.0", 147, 106, 32, 16, kButton},
    {kCrossPoints[3][3], ControlClass::kButton, "+12.0", 183, 106, 32, 16, kButton},
};

}  // namespace

const DialogTemplate kStdMixerPanelTemplate{
    kTemplateId,
    "",
    0,
    0,
    219,
    125,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
