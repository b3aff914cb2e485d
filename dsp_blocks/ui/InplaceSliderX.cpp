#include "dsp_blocks/ui/InplaceSliderX.h"

#include <algorithm>
#include <cmath>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/drawing/BitmapAlpha.h"
#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/PngResource.h"
#include "resources/images/ImageIds.h"
#include "resources/strings/StringFormat.h"

using platform::Canvas;
using platform::Rect;

namespace {

// The thumb image, loaded once per process and kept (a failed load is tried again).
const QImage* ThumbImage()
{
    static QImage image;
    static bool loaded = false;
    if (!loaded) {
        loaded = platform::LoadPngResource(ImageId::kMixerSliderThumb, image);
    }
    return loaded ? &image : nullptr;
}

// trunc(value / step), kept to what a trackbar can hold.
int PositionCount(float value, float step)
{
    const float count = step > 0.0f ? value / step : 0.0f;
    return std::isfinite(count) ? static_cast<int>(std::clamp(count, -1.0e6f, 1.0e6f)) : 0;
}

int ThumbHeight()
{
    const QImage* image = ThumbImage();
    return image != nullptr ? image->height() : platform::Trackbar::kThumbLength;
}

}  // namespace

InplaceSliderX::SliderCtrl::SliderCtrl(QWidget* parent) : platform::Trackbar(parent) {}

void InplaceSliderX::SliderCtrl::focusOutEvent(QFocusEvent* event)
{
    platform::Trackbar::focusOutEvent(event);
    if (platform::IControlNotify* target = platform::NotifyTargetOf(this)) {
        target->OnTrackbarReleasedCapture(platform::ControlId(this));
    }
}

InplaceSliderX::InplaceSliderX(float value, float top, float bottom, float step, std::span<const float> ticks,
                               const QFont& font, QWidget* owner, platform::WindowId ownerWindow,
                               platform::MessageId message)
    : QFrame(owner, Qt::Popup | Qt::FramelessWindowHint),
      value_(value),
      top_(top),
      bottom_(bottom),
      step_(step),
      font_(font),
      ownerWindow_(ownerWindow),
      message_(message),
      sent_(value)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    messages_.On(platform::MsgDelayDestroyWindow(), [this](std::uintptr_t, std::intptr_t) {
        DestroyNow();
        return std::intptr_t{0};
    });

    trackbar_ = new SliderCtrl(this);
    platform::SetControlId(trackbar_, kTrackbarId);
    highest_ = PositionCount(top_, step_);
    lowest_ = PositionCount(std::floor(bottom_ / step_), 1.0f);
    trackbar_->SetRange(lowest_, highest_);
    trackbar_->SetPageSize(kPageSize);
    trackbar_->SetPos(PositionOf(value_));
    for (float tick : ticks) {
        if (bottom_ == top_) {
            break;
        }
        const int k = static_cast<int>((bottom_ - tick) * static_cast<float>(kScaleDivisions) / (bottom_ - top_));
        const float back = (static_cast<float>(kScaleDivisions - k) * bottom_ + static_cast<float>(k) * top_) /
                           static_cast<float>(kScaleDivisions);
        if (back == tick) {
            labelledTicks_.insert(k);
        }
    }
    trackbar_->SetChannelHook([this](QPainter& painter, const platform::TrackbarDrawInfo& info) {
        return DrawChannel(painter, info);
    });
    trackbar_->SetTicksHook([this](QPainter& painter, const platform::TrackbarDrawInfo& info) {
        return DrawTicks(painter, info);
    });
    trackbar_->SetThumbHook([this](QPainter& painter, const platform::TrackbarDrawInfo& info) {
        return DrawThumb(painter, info);
    });
    trackbar_->SetKeyHook([this](QKeyEvent& event) { return OnTrackbarKey(event); });
    trackbar_->setGeometry(contentsRect());
}

InplaceSliderX::~InplaceSliderX() = default;

void InplaceSliderX::ShowAt(const QRect& rect)
{
    setGeometry(rect);
    show();
    trackbar_->setFocus(Qt::PopupFocusReason);
}

int InplaceSliderX::PositionOf(float value) const
{
    if (bottom_ == top_) {
        return lowest_;
    }
    const float position =
        ((value - top_) * static_cast<float>(highest_) + (bottom_ - value) * static_cast<float>(lowest_)) /
        (bottom_ - top_);
    if (!std::isfinite(position)) {
        return lowest_;
    }
    return std::clamp(static_cast<int>(std::clamp(position, -1.0e6f, 1.0e6f)), lowest_, highest_);
}

float InplaceSliderX::ValueAt(int position) const
{
    if (highest_ == lowest_) {
        return top_;
    }
    const float value =
        (static_cast<float>(position - lowest_) * bottom_ + static_cast<float>(highest_ - position) * top_) /
        static_cast<float>(highest_ - lowest_);
    return std::trunc(value / step_) * step_;
}

std::string InplaceSliderX::ScaleLabel(int index) const
{
    const float value = (static_cast<float>(kScaleDivisions - index) * top_ + static_cast<float>(index) * bottom_) /
                        static_cast<float>(kScaleDivisions);
    const int whole = static_cast<int>(value);
    return value == 0.0f ? FormatString("%ddB", whole) : FormatString("%+ddB", whole);
}

void InplaceSliderX::OnTrackbarScroll(std::int32_t id, int code, int position)
{
    // After a close the thumb may still follow the held button until the slider goes; the
    // owner has had its last notice.
    if (id != kTrackbarId || closeRequested_ || closing_) {
        return;
    }
    int p = trackbar_->Pos();
    switch (code) {
    case platform::ScrollCode::kLineUp:
    case platform::ScrollCode::kPageUp:
        p = std::max(p, lowest_);
        break;
    case platform::ScrollCode::kLineDown:
    case platform::ScrollCode::kPageDown:
        p = std::min(p, highest_);
        break;
    case platform::ScrollCode::kTop:
        p = kHomePosition;
        break;
    case platform::ScrollCode::kBottom:
        p = kEndPosition;
        break;
    case platform::ScrollCode::kThumbPosition:
    case platform::ScrollCode::kThumbTrack:
        p = position;
        break;
    default:
        break;
    }
    p = std::clamp(p, lowest_, highest_);
    // Home sends 0 dB, not the top: the thumb goes where the value it sends is drawn.
    if (trackbar_->Pos() != p) {
        trackbar_->SetPos(p);
    }
    value_ = ValueAt(p);
    Notify(code != platform::ScrollCode::kEndScroll ? SliderNotice::kTracking : SliderNotice::kEnded);
}

void InplaceSliderX::Notify(std::uint8_t tracking)
{
    // The state is settled before the owner hears of it: its handler may show a message
    // box, which takes the focus and so closes the slider from inside this call.
    inGesture_ = tracking == SliderNotice::kTracking;
    if (tracking == SliderNotice::kEnded) {
        sent_ = value_;
    }
    SliderNotice notice{value_, tracking};
    platform::SendWindowMessage(ownerWindow_, message_, 0, reinterpret_cast<std::intptr_t>(&notice));
}

void InplaceSliderX::OnTrackbarReleasedCapture(std::int32_t id)
{
    if (id == kTrackbarId) {
        Close();
    }
}

void InplaceSliderX::Close()
{
    if (closeRequested_ || closing_) {
        return;
    }
    closeRequested_ = true;
    // Focus lost or the pop-up hidden in mid-gesture: the value shown becomes the one sent,
    // as if the button had been released there.
    if (inGesture_) {
        Notify(SliderNotice::kEnded);
    }
    messages_.Post(platform::MsgDelayDestroyWindow());
}

void InplaceSliderX::Cancel()
{
    if (closeRequested_ || closing_) {
        return;
    }
    if (inGesture_) {
        value_ = sent_;
        trackbar_->SetPos(PositionOf(value_));
        Notify(SliderNotice::kCancelled);
    }
    Close();
}

void InplaceSliderX::DestroyNow()
{
    if (closing_) {
        return;
    }
    closing_ = true;
    messages_.Close();
    hide();
    deleteLater();
}

bool InplaceSliderX::OnTrackbarKey(QKeyEvent& event)
{
    if (event.key() != Qt::Key_Escape) {
        return false;
    }
    if (event.type() == QEvent::KeyPress) {
        Cancel();
    }
    return true;
}

void InplaceSliderX::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (trackbar_ != nullptr) {
        trackbar_->setGeometry(contentsRect());
    }
}

void InplaceSliderX::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    // A pop-up that the toolkit closed (a click elsewhere) lost the focus as well.
    Close();
}

bool InplaceSliderX::DrawChannel(QPainter& painter, const platform::TrackbarDrawInfo& info)
{
    Canvas canvas(painter);
    canvas.FillSolidRect(Rect::FromQRect(info.client), kBackColour);
    const Rect channel = Rect::FromQRect(info.channel);
    canvas.FillSolidRect(channel, kChannelEdgeColour);
    canvas.FillSolidRect(channel.Deflated(1, 1), kChannelColour);
    channel_ = info.channel;
    if (scalePending_) {
        scalePending_ = false;
        DrawScale(painter);
    }
    return true;
}

bool InplaceSliderX::DrawTicks(QPainter& painter, const platform::TrackbarDrawInfo&)
{
    if (channel_.isEmpty()) {
        scalePending_ = true;
    } else {
        DrawScale(painter);
    }
    return true;
}

bool InplaceSliderX::DrawThumb(QPainter& painter, const platform::TrackbarDrawInfo& info) const
{
    const QImage* image = ThumbImage();
    if (image == nullptr) {
        return true;
    }
    Canvas canvas(painter);
    const QRect& thumb = info.thumb;
    platform::DrawBitmapAlpha(canvas, thumb.left(), thumb.top() + (thumb.height() - image->height()) / 2, thumb.width(),
                              image->height(), *image, 0, 0);
    return true;
}

void InplaceSliderX::DrawScale(QPainter& painter) const
{
    Canvas canvas(painter);
    canvas.SelectFont(font_);
    canvas.SelectPen(platform::SolidPen(kScaleColour));
    canvas.SetBkMode(platform::BackgroundMode::Transparent);
    canvas.SetTextColor(kScaleTextColour);
    Rect measured{0, 0, 0, 0};
    canvas.DrawText(std::string_view(kWidestLabel), measured,
                    platform::TextFlag::kCalcRect | platform::TextFlag::kNoPrefix);
    const Rect channel = Rect::FromQRect(channel_);
    const int thumbHeight = ThumbHeight();
    const int a = channel.top + thumbHeight / 2;
    const int b = channel.bottom - thumbHeight / 2 - 1;
    const int x0 = channel.right + kTickOffset;
    for (int i = 0; i <= kScaleDivisions; ++i) {
        const int y = a + i * (b - a) / kScaleDivisions;
        canvas.MoveTo(x0, y);
        canvas.LineTo(x0 + kTickLength, y);
        if (labelledTicks_.count(i) != 0) {
            Rect cell{x0 + kLabelOffset, y - measured.Height() / 2, x0 + kLabelOffset + measured.Width(),
                      y - measured.Height() / 2 + measured.Height()};
            canvas.DrawText(ScaleLabel(i), cell,
                            platform::TextFlag::kRight | platform::TextFlag::kVCenter |
                                platform::TextFlag::kSingleLine | platform::TextFlag::kNoClip |
                                platform::TextFlag::kNoPrefix);
        }
    }
}

bool OpenInplaceSliderX(float value, float top, float bottom, float step, const QRect& rect, const float* ticks,
                        std::size_t tickCount, const QFont& font, QWidget* owner, platform::WindowId ownerWindow,
                        platform::MessageId message)
{
    if (owner == nullptr || step <= 0.0f || (ticks == nullptr && tickCount != 0)) {
        return false;
    }
    auto* slider = new InplaceSliderX(value, top, bottom, step, std::span<const float>(ticks, tickCount), font, owner,
                                      ownerWindow, message);
    slider->ShowAt(rect);
    return true;
}
