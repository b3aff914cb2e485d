// A left-to-right two-colour gradient laid over what a canvas already shows at one constant
// opacity, each channel becoming d + (s - d) x alpha / 255 (truncated toward zero), so the
// grid stays visible under a shaded band area.
#pragma once

#include "platform/ui/drawing/Canvas.h"

// alpha: 0 (nothing changes) to 255 (the gradient alone). Only what lies inside the canvas's
// clip and its image changes.
void BlendHorizontalGradient(platform::Canvas& canvas, const platform::Rect& rect, platform::ColorRef leftColour,
                             platform::ColorRef rightColour, int alpha);
