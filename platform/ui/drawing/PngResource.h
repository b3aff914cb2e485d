// The program's PNG images, embedded with Qt's resource system as ":/png/<id>.png" (ids in
// resources/images/ImageIds.h), and the program icon.
#pragma once

#include <vector>

#include <QIcon>
#include <QImage>

namespace platform {

// Decodes image `id` into `image` as straight-alpha QImage::Format_ARGB32 (opaque pictures get
// alpha 255). False, and `image` untouched, when there is no such image or it does not decode;
// callers then draw nothing and may try again on their next use.
bool LoadPngResource(int id, QImage& image);

// The program icon in its three sizes (16, 32 and 48 pixels).
QIcon ProgramIcon();

// Cuts a masked strip into cells of cellWidth x strip height (as many as fit), as image lists
// are built from the tool-bar strips: the mask colour is the strip's bottom-left pixel (the
// first pixel of a bottom-up bitmap's data); cell pixels of that colour become transparent,
// all others opaque. Empty for a null strip or a cell width below 1.
std::vector<QImage> MaskedImageList(const QImage& strip, int cellWidth);

}  // namespace platform
