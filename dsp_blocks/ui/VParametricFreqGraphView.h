// The input EQ's response graph: the frequency view with one coloured handle per band, each
// band's own response, the combined response and, for the selected band in parametric mode,
// a shaded band area with two edge handles. Dragging a handle changes a band's frequency and
// gain (only its gain in graphic mode), dragging an edge its Q, dragging the area its
// frequency. Each step of a drag is posted to the parent panel as "VeskQuarry_NotifyDragging"
// (0, 0); the release that ends it is sent as (1, 0). The panel reads the values with
// GetDragInfo and hands the bands back with SetBands. While a drag is active the pointer is
// kept inside the plot; losing the mouse or the focus ends a drag as its release does.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/filters/ResponseModel.h"
#include "dsp_blocks/ui/VFreqGraphView.h"
#include "platform/ui/core/DragGesture.h"

class VParametricFreqGraphView : public VFreqGraphView {
    Q_OBJECT

public:
    static constexpr std::size_t kMaxBands = 9;
    // Graph modes: parametric moves handles in frequency and gain and shows the band area;
    // any other value is graphic (handles move in gain only).
    static constexpr std::uint32_t kParametricMode = 1;
    static constexpr std::uint32_t kInitialMode = 0;
    static constexpr int kHandleHalfSize = 4;
    // A band area lower than this (pixels) is not shown.
    static constexpr int kMinAreaHeight = 3;
    // A notch's handle sits here whatever its gain.
    static constexpr float kNotchHandleDb = -12.0f;
    static constexpr std::array<platform::ColorRef, kMaxBands> kBandColours{
        0xA8A8F0, 0xA8BADE, 0xA8CCCC, 0xA8DEBA, 0xA8F0A8, 0xBADEA8, 0xCCCCA8, 0xDEBAA8, 0xF0A8A8};
    static constexpr platform::ColorRef kOtherBandColour = 0xB4B4B4;
    static constexpr platform::ColorRef kCombinedColour = 0x806060;
    static constexpr int kCombinedWidth = 2;
    static constexpr int kBandCurveWidth = 1;
    static constexpr platform::ColorRef kAreaLeftColour = 0xF0F0F0;
    static constexpr platform::ColorRef kAreaRightColour = 0xF0C0C0;
    static constexpr int kAreaAlpha = 168;

    // Band types as EqBand holds them.
    static constexpr std::uint32_t kPeaking = 0;
    static constexpr std::uint32_t kHighShelf = 1;
    static constexpr std::uint32_t kLowShelf = 2;
    static constexpr std::uint32_t kNotch = 3;

    enum class DragKind : std::uint32_t {
        None = 0,
        BandFrequencyGain = 1,
        LeftEdge = 2,
        RightEdge = 3,
        BandArea = 4,
        BandGain = 5,
    };

    enum class CursorShape { Arrow, SizeAll, SizeWestEast, SizeNorthSouth };

    explicit VParametricFreqGraphView(QWidget* parent);
    ~VParametricFreqGraphView() override;

    // Copies count (at most nine) bands and their sections; a notch's frequency marks its own
    // response. Handles and the selection follow; the curves are drawn again.
    void SetBands(const EqBand* bands, const BiquadCoefficients* coefficients, std::size_t count);
    void SetMode(std::uint32_t mode);
    // -1 when no drag is active; else the dragged values and the selected band's index.
    std::int32_t GetDragInfo(float& frequency, float& gain, float& q) const;

    // The factor from a band's centre to its edges: 2^((sqrt(2) / 2) / Q), in single precision.
    static float EdgeRatio(float q);
    // The Q whose edge lies at edgeFrequency for a band centred at centre; false (q unchanged)
    // when the two are equal or either is not a positive number.
    static bool QFromEdge(float edgeFrequency, float centre, float& q);
    static platform::ColorRef BandColour(std::size_t index);

    std::size_t Recompute() override;
    void DrawCurves(platform::Canvas& backBuffer) override;
    // The band area (gradient blended over the plot, outlined) and its edge handles.
    virtual void DrawSelection(platform::Canvas& backBuffer, platform::ColorRef colour);
    void Layout(const platform::Rect& rect) override;

    // What the mouse and keyboard do, in client and screen pixels; the Qt events call these.
    void OnLeftButtonDown(QPoint client, QPoint screen);
    void OnPointerMove(QPoint client, QPoint screen);
    void OnLeftButtonUp();
    // A right-button press or release, or Escape: ends a wait for a drag.
    void OnGestureCancel();
    // The mouse or the focus went elsewhere: a drag ends as its release does.
    void OnMouseLost();

    std::size_t BandCount() const { return bandCount_; }
    const EqBand& Band(std::size_t index) const { return bands_[index]; }
    std::int32_t SelectedBand() const { return selected_; }
    std::uint32_t Mode() const { return mode_; }
    DragKind ActiveDrag() const { return dragKind_; }
    bool IsDragging() const { return dragKind_ != DragKind::None; }
    bool IsWaitingForDrag() const { return gesture_.IsWaiting(); }
    // Pointer positions are kept in the plot only while a drag is active.
    bool IsPointerConfined() const { return IsDragging(); }
    // Plot-relative rectangles (back-buffer pixels).
    const platform::Rect& HandleRect(std::size_t index) const { return handles_[index]; }
    const platform::Rect& BandAreaRect() const { return bandArea_; }
    const platform::Rect& LeftEdgeRect() const { return leftEdge_; }
    const platform::Rect& RightEdgeRect() const { return rightEdge_; }
    QPoint GrabOffset() const { return grabOffset_; }
    CursorShape Cursor() const { return cursor_; }
    // Whether the selected handle is drawn focused.
    bool HasKeyboardFocus() const { return keyboardFocus_; }
    const ResponseModel& Model() const { return model_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    // What a press at a plot point would drag, and the centre of what it grabs.
    struct Hit {
        DragKind kind = DragKind::None;
        std::int32_t band = -1;
        QPoint centre;  // plot-relative
    };

    Hit HitTest(QPoint plotPoint) const;
    void RebuildHandles();
    void RebuildSelection();
    void Select(std::int32_t band);
    void StartDrag();
    void EndWait();
    // Ends an active drag: the release notice (drag values still readable), then no drag.
    void FinishDrag();
    void ApplyDragPoint(QPoint client);
    void PostDragging();
    void UpdateCursor(QPoint plotPoint);
    void DrawHandle(platform::Canvas& canvas, const platform::Rect& rect, platform::ColorRef colour, bool focused);
    QPoint PlotPoint(QPoint client) const;

    std::array<platform::Rect, kMaxBands> handles_{};
    std::array<EqBand, kMaxBands> bands_{};
    std::size_t bandCount_ = 0;
    ResponseModel model_;
    std::int32_t selected_ = -1;
    std::uint32_t mode_ = kInitialMode;
    DragKind dragKind_ = DragKind::None;
    EqBand dragValues_{};
    QPoint grabOffset_;
    platform::Rect bandArea_;
    platform::Rect leftEdge_;
    platform::Rect rightEdge_;

    Hit pressed_;  // what the press that started the wait hit
    CursorShape cursor_ = CursorShape::Arrow;
    bool keyboardFocus_ = false;
    platform::DragGesture gesture_;
};
