// The mixer's pop-up gain slider: a small vertical trackbar in a borderless pop-up above a
// cross point, with its own channel, thumb image and dB scale. Each move sends the owner
// "__Kx_MsgFromSlider__" (0, pointer to SliderNotice) with tracking set until the gesture
// ends; letting go of the mouse, losing the focus or Escape close the slider, which then
// deletes itself (it posts itself "__Kx_DelayDestroyWindow__" first, so a handler of its
// own is never cut short). However it closes, the owner's last notice leaves it showing
// what it was last told to send: a gesture still going on ends as a release, except after
// Escape, which takes the value back to where the gesture started.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <span>
#include <string>

#include <QFont>
#include <QFrame>
#include <QRect>

#include "platform/messages/Messages.h"
#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/core/Trackbar.h"
#include "platform/ui/drawing/ColorRef.h"

// What the slider sends: lParam points at it during the send.
struct SliderNotice {
    // The gesture ended on value: the owner sends it on.
    static constexpr std::uint8_t kEnded = 0;
    // The gesture goes on: the owner shows value and sends nothing yet.
    static constexpr std::uint8_t kTracking = 1;
    // Escape undid the gesture: value is the one from before it, which the owner already
    // sent; it shows it again and sends nothing.
    static constexpr std::uint8_t kCancelled = 2;

    float value = 0.0f;
    std::uint8_t tracking = kEnded;
};

class InplaceSliderX final : public QFrame, public platform::IControlNotify {
    Q_OBJECT

public:
    static constexpr std::int32_t kTrackbarId = 13398;
    static constexpr int kPageSize = 6;
    // The scale's tick marks divide the channel into this many steps.
    static constexpr int kScaleDivisions = 12;
    static constexpr platform::ColorRef kBackColour = 0xFAE6E6;
    static constexpr platform::ColorRef kChannelEdgeColour = 0xD6D6D6;
    static constexpr platform::ColorRef kChannelColour = 0xEAEAE7;
    static constexpr platform::ColorRef kScaleColour = 0xC4C4C4;
    static constexpr platform::ColorRef kScaleTextColour = 0x000000;
    // Tick marks start this far right of the channel and are this long; labels start this
    // far right of the tick marks' start.
    static constexpr int kTickOffset = 9;
    static constexpr int kTickLength = 4;
    static constexpr int kLabelOffset = 6;
    static constexpr char kWidestLabel[] = "+12dB";
    // Home sends the thumb here (0 dB on the mixer's scale); End to the bottom.
    static constexpr int kHomePosition = 0;
    static constexpr int kEndPosition = 100;

    // The trackbar inside: it tells the slider when it loses the focus, as it tells it when
    // it lets the mouse go.
    class SliderCtrl final : public platform::Trackbar {
    public:
        explicit SliderCtrl(QWidget* parent);

    protected:
        void focusOutEvent(QFocusEvent* event) override;
    };

    // A pop-up of owner (not shown yet); ownerWindow receives message.
    InplaceSliderX(float value, float top, float bottom, float step, std::span<const float> ticks, const QFont& font,
                   QWidget* owner, platform::WindowId ownerWindow, platform::MessageId message);
    ~InplaceSliderX() override;

    // Shows the slider at rect (screen pixels) without activating it and focuses the trackbar.
    void ShowAt(const QRect& rect);

    float Value() const { return value_; }
    int Lowest() const { return lowest_; }
    int Highest() const { return highest_; }
    SliderCtrl* Trackbar() const { return trackbar_; }
    // Indexes 0..kScaleDivisions of the scale that carry a label.
    const std::set<int>& LabelledTicks() const { return labelledTicks_; }
    // The trackbar's channel as the last paint drew it (empty before).
    QRect ChannelRect() const { return channel_; }
    // The trackbar position of value (top value at the lowest position).
    int PositionOf(float value) const;
    // The value a position sends: on the step grid, toward zero.
    float ValueAt(int position) const;
    // The label of scale index i ("+12dB", "0dB", ...).
    std::string ScaleLabel(int index) const;
    bool IsClosing() const { return closing_; }

    void OnTrackbarScroll(std::int32_t id, int code, int position) override;
    void OnTrackbarReleasedCapture(std::int32_t id) override;
    // Ends a gesture that is still going on as a release, then posts
    // "__Kx_DelayDestroyWindow__" to the slider; later scroll reports are ignored.
    void Close();
    // Escape: takes a gesture back to the value from before it, then closes.
    void Cancel();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool DrawChannel(QPainter& painter, const platform::TrackbarDrawInfo& info);
    bool DrawTicks(QPainter& painter, const platform::TrackbarDrawInfo& info);
    bool DrawThumb(QPainter& painter, const platform::TrackbarDrawInfo& info) const;
    void DrawScale(QPainter& painter) const;
    bool OnTrackbarKey(QKeyEvent& event);
    void DestroyNow();
    void Notify(std::uint8_t tracking);

    float value_;
    float top_;
    float bottom_;
    float step_;
    int lowest_ = 0;
    int highest_ = 0;
    QFont font_;
    std::set<int> labelledTicks_;
    platform::WindowId ownerWindow_;
    platform::MessageId message_;
    SliderCtrl* trackbar_ = nullptr;  // child window
    QRect channel_;
    bool scalePending_ = false;
    // The value the owner last sent on (the opening value until a gesture ends), and
    // whether it has been shown a value since.
    float sent_;
    bool inGesture_ = false;
    bool closeRequested_ = false;
    bool closing_ = false;
    platform::MessageWindow messages_;
};

// Makes and shows a slider on value (top..bottom in steps of step) at rect (screen pixels)
// with labels at the given tick values, in font, for owner, which receives message at
// ownerWindow. False when the slider could not be made (nothing is left open then).
bool OpenInplaceSliderX(float value, float top, float bottom, float step, const QRect& rect, const float* ticks,
                        std::size_t tickCount, const QFont& font, QWidget* owner, platform::WindowId ownerWindow,
                        platform::MessageId message);
