// The connection bar (template 183) at the right end of the tool-bar strip: a red or green
// ball (PNG 182) and the connection text, which the document's update handlers of controls
// 1109 and 1110 keep current.
#pragma once

#include <cstdint>

#include <QImage>

#include "application/ui/BarStrip.h"
#include "platform/ui/core/Dialog.h"

namespace ConnectionBarValue {
inline constexpr std::uint32_t kControlBarId = 0xE800;
inline constexpr int kIconCell = 24;
inline constexpr int kIconRightMargin = 15;  // from the icon's right edge to the bar's
}  // namespace ConnectionBarValue

class CConnectionStatusBar : public platform::Dialog {
    Q_OBJECT

public:
    explicit CConnectionStatusBar(QWidget* parent = nullptr);
    ~CConnectionStatusBar() override;

    // Builds the controls from the template and records the bar in `strip`.
    bool CreateBar(BarStrip& strip);

    // 0 disconnected (red ball), anything else connected (green ball); repaints the icon
    // only on a change.
    void SetIconState(std::uint8_t state);
    std::uint8_t IconState() const { return m_iconState; }
    // The cell of PNG 182 the icon shows: 0 red, 1 green.
    int IconCell() const { return m_iconState != 0 ? 1 : 0; }
    bool IsIconLoaded() const { return m_iconNotLoaded == 0; }

    void OnDrawItem(std::int32_t id, QPainter& painter, const platform::DrawItemState& state) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    QImage m_icon;
    std::uint8_t m_iconState = 0;
    std::uint8_t m_iconNotLoaded = 1;
    std::uint8_t m_inMousePress = 0;
    BarStrip* m_strip = nullptr;
};
