// The legend of the output indicators: a small bordered tool window without a caption that
// pops up over the protection meters while the pointer rests on their legend button and
// explains what each indicator icon means. One exists per program, made on first use.
#pragma once

#include <cstdint>

#include <QFont>
#include <QImage>
#include <QWidget>

#include "application/ui/meters/LegendLayout.h"
#include "platform/ui/drawing/Canvas.h"

class LegendWnd final : public QWidget {
    Q_OBJECT

public:
    static constexpr char kTitle[] = "Legend";
    static constexpr char kLimitingText[] = "Output is limiting";
    static constexpr char kFaultText[] = "EHF fault on that output";
    static constexpr char kGroupText[] = "Amplifier fault, outputs %1 and %2 are muted";
    static constexpr platform::ColorRef kTopLineColour = 0xCCCCCC;
    // The window's border around the client area, on every side.
    static constexpr int kBorder = 1;
    // Frames of the legend icon strip.
    static constexpr int kLimitingFrame = 2;
    static constexpr int kFaultFrame = 3;

    // A hidden tool window owned by `owner` (the main window).
    explicit LegendWnd(QWidget* owner);

    // The font every text is drawn and measured with; lays the legend out again.
    void SetLegendFont(const QFont& font);
    // Lays the legend out for another number of outputs and sizes the window to it; nothing
    // when the number is the one it has.
    void SetOutputCount(std::int32_t outputCount);
    std::int32_t OutputCount() const { return m_outputCount; }
    const meters::LegendLayout& Layout() const { return m_layout; }
    QSize ClientSize() const { return QSize(m_layout.client.width, m_layout.client.height); }

    // Shows the window topmost without activating it, its top edge centred on `anchor`
    // (screen coordinates), moved inside `workArea`.
    void ShowAt(QPoint anchor, const QRect& workArea);

    // The whole window as it draws itself (border included), made at each layout.
    const QImage& Image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void LayOut();
    void DrawClient(platform::Canvas& dc) const;
    void RenderImage();

    std::int32_t m_outputCount = 0;
    meters::LegendLayout m_layout;
    QFont m_font;
    QImage m_image;
};

// The program's legend window, made with `owner` when it does not exist yet (or is gone
// with its owner).
LegendWnd& LegendWindowFor(QWidget* owner);
// The legend window if one exists, else null.
LegendWnd* ExistingLegendWindow();
