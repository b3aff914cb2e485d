#include "dsp_blocks/ui/GradientFills.h"

using platform::Canvas;
using platform::ColorRef;
using platform::GradientDirection;
using platform::Rect;

void FillGradient(Canvas* canvas, const Rect& rect, ColorRef bottomOrRightColour, ColorRef topOrLeftColour,
                  bool vertical)
{
    if (canvas == nullptr) {
        return;
    }
    canvas->GradientFill(rect, topOrLeftColour, bottomOrRightColour,
                         vertical ? GradientDirection::Vertical : GradientDirection::Horizontal);
}

void FillGradientMirroredV(Canvas* canvas, const Rect& rect, ColorRef edgeColour, ColorRef centreColour)
{
    const int middle = (rect.top + rect.bottom) / 2;
    FillGradient(canvas, Rect{rect.left, rect.top, rect.right, middle}, centreColour, edgeColour, true);
    FillGradient(canvas, Rect{rect.left, middle, rect.right, rect.bottom}, edgeColour, centreColour, true);
}

void FillGradientMirroredH(Canvas* canvas, const Rect& rect, ColorRef edgeColour, ColorRef centreColour)
{
    const int middle = (rect.left + rect.right) / 2;
    FillGradient(canvas, Rect{rect.left, rect.top, middle, rect.bottom}, centreColour, edgeColour, false);
    FillGradient(canvas, Rect{middle, rect.top, rect.right, rect.bottom}, edgeColour, centreColour, false);
}

void DrawGradientButton(Canvas& canvas, const platform::DrawItemState& state, std::string_view text,
                        ColorRef edgeColour, ColorRef centreColour, ColorRef textColour)
{
    const Rect item = Rect::FromQRect(state.rect);
    FillGradientMirroredV(&canvas, item, edgeColour, centreColour);
    canvas.FrameRect(item, platform::StockBrush::kBlack);
    if (!text.empty()) {
        const ColorRef oldColour = canvas.SetTextColor(textColour);
        const platform::BackgroundMode oldMode = canvas.SetBkMode(platform::BackgroundMode::Transparent);
        Rect area = item;
        canvas.DrawText(text, area,
                        platform::TextFlag::kCenter | platform::TextFlag::kVCenter | platform::TextFlag::kSingleLine);
        canvas.SetBkMode(oldMode);
        canvas.SetTextColor(oldColour);
    }
    if (state.focused) {
        canvas.DrawFocusRect(item.Deflated(2, 2));
    }
}
