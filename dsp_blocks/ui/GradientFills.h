// The gradient look of the panels: two-colour fills, the mirrored fills that give a button
// its rounded look, and the owner-drawn gradient button.
#pragma once

#include <string_view>

#include "platform/ui/core/ControlNotify.h"
#include "platform/ui/drawing/Canvas.h"

// One two-colour gradient over rect: top to bottom when vertical, else left to right. The
// second colour is the one at the top (or left) edge. Nothing happens without a canvas.
void FillGradient(platform::Canvas* canvas, const platform::Rect& rect, platform::ColorRef bottomOrRightColour,
                  platform::ColorRef topOrLeftColour, bool vertical);

// Edge colour at the top and bottom, centre colour at middle = (top + bottom) / 2.
void FillGradientMirroredV(platform::Canvas* canvas, const platform::Rect& rect, platform::ColorRef edgeColour,
                           platform::ColorRef centreColour);
// The same across x, middle = (left + right) / 2.
void FillGradientMirroredH(platform::Canvas* canvas, const platform::Rect& rect, platform::ColorRef edgeColour,
                           platform::ColorRef centreColour);

// An owner-drawn button: the mirrored vertical gradient over the item, a one-pixel black
// frame, the text (when not empty) centred on one line in textColour, and a focus frame
// inset by 2 when the item has the focus.
void DrawGradientButton(platform::Canvas& canvas, const platform::DrawItemState& state, std::string_view text,
                        platform::ColorRef edgeColour, platform::ColorRef centreColour,
                        platform::ColorRef textColour);
