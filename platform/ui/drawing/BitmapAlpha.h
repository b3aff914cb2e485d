// Drawing images that carry per-pixel transparency onto a canvas: the destination rectangle is
// copied out into a 32-bit bitmap, the image blended onto the copy with the exact integer
// blend, and the copy put back. Canvases without readable pixels (a window's own painter) get
// the toolkit's blend instead, which may differ from the exact one by 1 per channel.
#pragma once

#include <QImage>

#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/DibSection.h"

namespace platform {

// Draws at most width x height pixels of `source` from (sourceX, sourceY) at (x, y) of dc,
// blending 32-bit sources by their alpha and copying 24-bit ones. Any QImage format is
// accepted (converted to straight alpha first).
void DrawBitmapAlpha(Canvas& dc, int x, int y, int width, int height, const QImage& source, int sourceX, int sourceY);

// A 32-bit bottom-up copy of width x height pixels of dc from (x, y); pixels outside the
// canvas's image read as 0. False, and out untouched, for an empty size or a canvas whose
// pixels cannot be read.
bool CopyFromDc(Canvas& dc, int x, int y, int width, int height, DibSection& out);

// Copies width x height pixels of the bitmap from (0, 0) to (x, y) of dc, a plain copy.
void CopyToDc(const DibSection& bitmap, Canvas& dc, int x, int y, int width, int height);

}  // namespace platform
