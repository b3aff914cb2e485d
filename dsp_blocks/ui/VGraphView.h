// The x-y plot child window of the block panels: a framed plot with a grid and axis labels,
// drawn from buffers made once per layout. The plot background (fill, 3-D frame, grid) is
// rendered at layout into its own image, the labels into a transparent layer over the
// client area; each paint copies the background into the back buffer (the size of the
// plot, whose origin is the plot's top-left corner), draws the curves into it, clipped
// inside the frame, and copies it to the window in one block. This base has a linear x
// axis; the semi-log and frequency views derive from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QWidget>

#include "platform/ui/drawing/Canvas.h"

class VGraphView : public QWidget {
    Q_OBJECT

public:
    static constexpr std::int32_t kControlId = 10;
    static constexpr char kCaption[] = "Data View";
    static constexpr int kInitialSize = 20;
    static constexpr platform::ColorRef kPlotFill = 0xF0F0F0;
    static constexpr platform::ColorRef kMajorGridColour = 0xA8A8A8;
    static constexpr platform::ColorRef kMinorGridColour = 0xA8A8A8;
    static constexpr platform::ColorRef kFrameShadow = 0x808080;
    static constexpr platform::ColorRef kFrameLight = 0xFFFFFF;
    static constexpr platform::ColorRef kLabelColour = 0x606060;
    // Layout margins: above the plot (at least half a text line, so the top label fits),
    // between the y labels and the plot, below the plot (besides the x labels' height).
    static constexpr int kTopMargin = 5;
    static constexpr int kYLabelGap = 5;
    static constexpr int kXLabelGap = 2;

    // A child window of parent (caption "Data View", control id 10, 20 x 20 at 0, 0, the
    // default GUI font) showing x0..x1 in xDivisions and y0..y1 in yDivisions.
    VGraphView(QWidget* parent, float x0, float x1, int xDivisions, float y0, float y1, int yDivisions);
    ~VGraphView() override;

    // Lays the view out over rect (client coordinates) and renders the background and labels.
    virtual void Layout(const platform::Rect& rect);
    virtual void DrawBackground(platform::Canvas& canvas, platform::ColorRef fill, platform::ColorRef majorColour,
                                platform::ColorRef minorColour, bool gridOnly);
    virtual void DrawGrid(platform::Canvas& canvas, platform::ColorRef majorColour, platform::ColorRef minorColour);
    // Draws the axis labels in client coordinates; returns the rectangle they were laid in.
    virtual platform::Rect DrawLabels(platform::Canvas& canvas, platform::ColorRef textColour,
                                      platform::BackgroundMode mode);
    // Whole-pixel maps: x in client pixels (plot-relative in the back buffer), y always
    // plot-relative.
    virtual int XToPixel(bool inBackBuffer, float x) const;
    virtual int YToPixel(float y) const;
    // Client pixel to values, clamped to the axes.
    virtual void PixelToValue(int px, int py, float& x, float& y) const;
    // The map the curve drawers use: keeps fractions; plot-relative in the back buffer.
    virtual QPointF ValueToPoint(bool inBackBuffer, float x, float y) const;
    // Draws the curves into the back buffer, which holds the background already.
    virtual void DrawCurves(platform::Canvas& backBuffer);
    virtual bool CanDraw() const;
    // Brings curve data up to date before a paint; the number of parts recomputed.
    virtual std::size_t Recompute();

    // True when canvas draws into this view's back buffer.
    bool IsBackBuffer(const platform::Canvas& canvas) const;
    // Background into the back buffer, then the curves (lays out first when needed).
    void RenderBackBuffer();
    // The back buffer at the plot's top-left and, where exposed reaches outside the plot,
    // the labels.
    void PaintTo(QPainter& painter, const QRect& exposed) const;
    // Only the plot needs painting again (the curves changed).
    void InvalidateCurves();

    float X0() const { return x0_; }
    float X1() const { return x1_; }
    int XDivisions() const { return xDivisions_; }
    float XScale() const { return xScale_; }
    float Y0() const { return y0_; }
    float Y1() const { return y1_; }
    int YDivisions() const { return yDivisions_; }
    float YScale() const { return yScale_; }
    const platform::Rect& PlotRect() const { return plotRect_; }
    const platform::Rect& OuterRect() const { return outerRect_; }
    bool IsLaidOut() const { return laidOut_; }
    const QImage& BackBuffer() const { return backBuffer_; }
    const QImage& Background() const { return background_; }
    const QImage& LabelLayer() const { return labelLayer_; }
    // clientPoint moved onto the nearest pixel of the plot (as it is while a drag keeps the
    // pointer there).
    QPoint ConfinePoint(QPoint clientPoint) const;

protected:
    // The plot rectangle and scales for rect, without rendering anything.
    virtual void ComputeLayout(const platform::Rect& rect);
    // The y label of value as the labels show it: "  %d" for whole steps, else "%.1f" or "%.2f".
    std::string YLabelText(float value) const;
    // The x label of value: "%d" of the value truncated.
    static std::string XLabelText(float value);
    QSize TextSize(const std::string& text) const;
    // The pixel rows of the horizontal grid lines and y labels, j = 0..yDivisions.
    int YLinePixel(int j) const;
    // The horizontal grid lines inside the plot, in the canvas's current pen.
    void DrawYGridLines(platform::Canvas& canvas) const;
    // Every label goes through here (tests see what is drawn where).
    virtual void DrawLabelText(platform::Canvas& canvas, const std::string& text, platform::Rect cell, unsigned flags);
    // Draws text centred on x (one line), its top at top.
    void DrawCentredLabel(platform::Canvas& canvas, const std::string& text, int x, int top);
    // Draws the x labels with their tops at top: one per division on a linear axis.
    virtual void DrawXLabels(platform::Canvas& canvas, int top);
    // Draws the y labels right-aligned at right, each centred on its grid row.
    void DrawYLabels(platform::Canvas& canvas, int right);
    // Renders the background and label layer for the current layout.
    void BuildBuffers();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    float x0_;
    float x1_;
    int xDivisions_;
    float xScale_ = 0.0f;
    float y0_;
    float y1_;
    int yDivisions_;
    float yScale_ = 0.0f;
    platform::Rect plotRect_{0, 0, kInitialSize, kInitialSize};
    platform::Rect outerRect_{0, 0, kInitialSize, kInitialSize};

private:
    QImage background_;
    QImage backBuffer_;
    QImage labelLayer_;
    bool laidOut_ = false;
};

// Turns a mapped coordinate into something a pixel routine can take: NaN and far-away values
// become a large finite value on the same side (NaN: below and right of everything).
double SafeCoordinate(double value);
