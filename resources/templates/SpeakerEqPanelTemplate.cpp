#include "resources/templates/SpeakerEqPanelTemplate.h"

namespace {

using namespace SpeakerEqPanelIds;

constexpr std::uint32_t kFrame = WindowStyle::kControlDefault | StaticStyle::kEtchedFrame;

// Each frame holds a whole preset row (its bypass button included) plus the frame's border.
constexpr DialogControl kControls[] = {
    {DialogId::kStatic, ControlClass::kStatic, "Vesk Speaker EQ", 7, 5, 200, 10, WindowStyle::kControlDefault},
    {kRowFrames[0], ControlClass::kStatic, "Vesk Speaker EQ 1", 7, 20, 200, 41, kFrame},
    {kRowFrames[1], ControlClass::kStatic, "Vesk Speaker EQ 2", 7, 64, 200, 41, kFrame},
    {kRowFrames[2], ControlClass::kStatic, "Vesk Speaker EQ 3", 7, 108, 200, 41, kFrame},
    {kRowFrames[3], ControlClass::kStatic, "Vesk Speaker EQ 4", 7, 152, 200, 41, kFrame},
};

}  // namespace

const DialogTemplate kSpeakerEqPanelTemplate{
    kTemplateId,
    "",
    0,
    0,
    214,
    200,
    WindowStyle::kChild | DialogStyle::kControl | DialogStyle::kSetFont | DialogStyle::k3DLook,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
