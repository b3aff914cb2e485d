#include "resources/templates/PushPullProgressTemplate.h"

namespace {

using namespace PushPullProgressIds;

constexpr DialogControl kControls[] = {
    {kProgress, ControlClass::kProgress, "", 15, 22, 185, 14, WindowStyle::kControlDefault | WindowStyle::kBorder},
    // Hidden until the progress has not moved for a while.
    {kAbort, ControlClass::kButton, "&Abort", 83, 43, 50, 14, WindowStyle::kChild | WindowStyle::kTabStop},
};

}  // namespace

const DialogTemplate kPushPullProgressTemplate{
    kTemplate,
    "Progress",
    0,
    0,
    215,
    66,
    WindowStyle::kPopup | WindowStyle::kCaption | WindowStyle::kSysMenu | DialogStyle::kModalFrame |
        DialogStyle::kSetFont | DialogStyle::kCenter,
    0,
    "MS Shell Dlg",
    8,
    kControls,
};
