// The frame's tool bar (resource 130): New, Open, Save, a separator, Mute Outputs and Save
// Configuration to Amp, 24 x 24 images cut from the masked strips 155 (normal), 154
// (disabled) and 156 (muted: the speaker carries a red prohibition mark).
#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QToolBar>

#include "application/ui/BarStrip.h"

namespace ToolBarValue {
inline constexpr std::uint32_t kResourceId = 130;
inline constexpr int kButtonSize = 24;
inline constexpr std::uint32_t kControlBarId = 0xE800;
}  // namespace ToolBarValue

class CColorToolBar : public QToolBar {
    Q_OBJECT

public:
    explicit CColorToolBar(QWidget* parent = nullptr);

    // Makes the buttons and the three image lists; false when a strip cannot be loaded or
    // cut into a cell per button. Records the bar and its width in `strip`.
    bool CreateBar(int buttonSize, int resourceId, int normalBitmap, int disabledBitmap, int mutedBitmap,
                   BarStrip& strip);

    // Shows the muted images when `muted`, else the normal ones; repaints only on a change.
    void SetMutedLook(bool muted);
    bool IsMutedLook() const { return m_mutedLook; }

    // The commands of the buttons, in order (0 for the separator).
    static const std::vector<std::uint32_t>& ButtonCommands();

private:
    void ApplyImages();

    std::vector<QImage> m_normal;
    std::vector<QImage> m_disabled;
    std::vector<QImage> m_muted;
    bool m_mutedLook = false;
    BarStrip* m_strip = nullptr;
};
