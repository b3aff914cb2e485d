// The main frame's saved state.
#include "application/ui/FramePlacement.h"

SettingsRect InitialFrameRect(const AppSettings& settings)
{
    const SettingsRect& saved = settings.frameRect;
    if (saved.right != saved.left && saved.bottom != saved.top) {
        return saved;
    }
    return SettingsRect{0, 0, FrameStateValue::kDefaultWidth, FrameStateValue::kDefaultHeight};
}

bool IsPlacementUsable(const WindowPlacement& placement)
{
    const SettingsRect& normal = placement.normalPosition;
    return placement.length == kWindowPlacementBytes && normal.right > normal.left && normal.bottom > normal.top;
}

std::uint32_t FrameStyleWord(bool visible, bool minimized, bool maximized)
{
    std::uint32_t style = FrameStateValue::kStyleOverlappedWindow;
    style |= visible ? FrameStateValue::kStyleVisible : 0;
    style |= minimized ? FrameStateValue::kStyleMinimized : 0;
    style |= maximized ? FrameStateValue::kStyleMaximized : 0;
    return style;
}

WindowPlacement MakeFramePlacement(const SettingsRect& normal, bool minimized, bool maximized)
{
    WindowPlacement placement;
    placement.length = kWindowPlacementBytes;
    placement.showCmd = minimized   ? FrameStateValue::kShowMinimized
                        : maximized ? FrameStateValue::kShowMaximized
                                    : FrameStateValue::kShowNormal;
    placement.minPositionX = -1;
    placement.minPositionY = -1;
    placement.maxPositionX = -1;
    placement.maxPositionY = -1;
    placement.normalPosition = normal;
    return placement;
}
