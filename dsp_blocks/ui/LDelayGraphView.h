// The delay panel's graph: one horizontal track per output channel on a common time or
// distance scale, with a loudspeaker-shaped handle per channel at the channel's delay. The
// view draws the picture with its own scale (the base's layout only gives the rectangle
// the pointer is kept in during a drag). Dragging a handle changes the channel's value and
// tells the panel with "__Ovt_NotifyChanged__" (1, row) while dragging and on a cancel,
// (0, row) when the button is released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

#include "dsp_blocks/ui/VGraphView.h"
#include "platform/ui/core/DragGesture.h"

struct DelayUnit;

// One channel's track: where the panel put it and the value its handle shows.
struct DelayRow {
    std::int32_t y = 0;     // client pixels of the track line
    float value = 0.0f;     // in the current unit
};

class LDelayGraphView final : public VGraphView {
    Q_OBJECT

public:
    static constexpr int kMarginLeft = 15;
    static constexpr int kMarginTop = 5;
    static constexpr int kMarginRight = 15;
    static constexpr int kMarginBottom = 5;
    // Between the plot and the label strip.
    static constexpr int kLabelGap = 3;
    static constexpr int kTrackInsetLeft = 25;
    static constexpr int kTrackInsetRight = 25;
    // The handle: a box of 20 x 20 with a cone flaring to 40 pixels on its right.
    static constexpr int kHandleHalfWidth = 10;
    static constexpr int kHandleHalfHeight = 20;
    static constexpr int kHandleBoxHalfHeight = 10;
    static constexpr int kTrackWidth = 2;
    static constexpr platform::ColorRef kGridColour = 0xA8A8A8;
    static constexpr char kMeasureText[] = "ATW~`gjq,";
    static constexpr float kInitialMinimum = 0.0f;
    static constexpr float kInitialMaximum = 100.0f;
    static constexpr float kInitialStep = 10.0f;
    static constexpr char kInitialFormat[] = "%.1f";
    // More grid lines than any track could show means the step is unusable.
    static constexpr int kMaxGridLines = 1000;

    // The geometry of the picture for the current client area.
    struct Geometry {
        platform::Rect plot;
        platform::Rect labelStrip;
        int trackLeft = 0;   // the x of the scale minimum
        int trackRight = 0;  // the x of the scale maximum
    };

    LDelayGraphView(QWidget* parent, std::size_t channelCount);
    ~LDelayGraphView() override;

    // The track of row runs at y (client pixels); nothing is redrawn.
    void SetRowY(std::size_t row, int y);
    void SetValue(std::size_t row, float value);
    float GetValue(std::size_t row) const;
    // minimum to maximum in unit's label format; step 0 chooses the step from the room the
    // labels need.
    void SetScale(const DelayUnit& unit, float minimum, float maximum, float step);

    Geometry ComputeGeometry() const;
    int ValueToX(float value) const;
    // x clamped onto the track, as a value.
    float XToValue(int x) const;
    // The grid step in use: the one given, or the automatic one; 0 when there is no grid.
    float Step() const;
    // The first row whose handle holds the client point; -1 for none.
    int HitTest(QPoint point) const;
    static platform::ColorRef RowColour(std::size_t row);

    std::size_t RowCount() const { return rows_.size(); }
    const DelayRow& Row(std::size_t row) const { return rows_.at(row); }
    float Minimum() const { return minimum_; }
    float Maximum() const { return maximum_; }
    const std::string& LabelFormat() const { return labelFormat_; }
    // The row being dragged, -1 for none; whether a press still waits to become a drag.
    int DraggedRow() const { return dragRow_; }
    bool IsWaitingForDrag() const { return gesture_.IsWaiting(); }
    // A drag keeps the pointer in the plot.
    bool IsPointerConfined() const { return dragRow_ >= 0; }
    // The picture without the handles (plot, grid, tracks, labels), as the last paint made it.
    const QImage& StaticLayer() const { return staticLayer_; }

protected:
    // Only the base's geometry: the view draws everything itself.
    void Layout(const platform::Rect& rect) override;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int TextHeight() const;
    float AutomaticStep(const Geometry& geometry) const;
    void BuildStaticLayer(const Geometry& geometry);
    void DrawHandles(platform::Canvas& canvas) const;
    void StartDrag();
    void CancelDrag();
    void EndDrag();
    void Notify(std::uintptr_t code, std::size_t row);

    float minimum_ = kInitialMinimum;
    float maximum_ = kInitialMaximum;
    float step_ = kInitialStep;
    bool automaticStep_ = false;
    std::string labelFormat_ = kInitialFormat;
    std::vector<DelayRow> rows_;
    int dragRow_ = -1;
    float dragStartValue_ = 0.0f;
    QPoint grabOffset_;
    int lastX_ = 0;
    int pressedRow_ = -1;  // the row a waiting press hit
    mutable int textHeight_ = -1;  // of kMeasureText, measured once
    platform::DragGesture gesture_;
    // Plot fill, grid, tracks and the scale labels (the label strip is left clear, so the
    // panel's background shows through it); made again when the size or the scale changes.
    QImage staticLayer_;
    bool staticLayerValid_ = false;
    QImage backBuffer_;
};
