// The frame's status bar: a stretching message pane and fixed panes, painted by its own code
// (grey panes, a sunken frame for "framed" panes, centred text for "text" panes, a size grip).
// When the bar is narrower than its panes, the fixed panes give way from the last one
// backwards, so the message pane (under which the write-progress label sits) stays visible.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QWidget>

#include "platform/ui/drawing/Rect.h"

namespace StatusPaneStyle {
inline constexpr std::uint32_t kFramed = 0x10000000;  // sunken 3-D frame, no text
inline constexpr std::uint32_t kText = 0x20000000;    // text centred in the window-text colour
}  // namespace StatusPaneStyle

class CProgressBar : public QWidget {
    Q_OBJECT

public:
    struct Pane {
        std::uint32_t id = 0;
        std::uint32_t style = 0;
        std::int32_t width = 0;  // wanted width; ignored for the message pane (id 0)
        std::string text;        // UTF-8
    };

    // The bar's panes {0, 59144, 59143}: "Parameter" with the text style at 200 pixels,
    // "Progress" framed at 600.
    explicit CProgressBar(QWidget* parent = nullptr);

    void SetIndicators(const std::vector<std::uint32_t>& ids);
    void SetPaneInfo(std::size_t index, std::uint32_t id, std::uint32_t style, std::int32_t width);
    void SetPaneText(std::size_t index, const std::string& text);
    const Pane& GetPane(std::size_t index) const { return m_panes.at(index); }
    std::size_t PaneCount() const { return m_panes.size(); }

    // The pane's rectangle in the bar's client coordinates.
    platform::Rect GetItemRect(std::size_t index) const;
    // The bar's height for its font.
    int BarHeight() const;
    // The narrowest the message pane gets while fixed panes can still give way.
    int MinimumMessageWidth() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<platform::Rect> PaneRects() const;

    std::vector<Pane> m_panes;
};
