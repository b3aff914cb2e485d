// The meters' images, loaded once per process and kept: the output indicator strip, the
// legend icons and the legend button. A load that fails is tried again on the next use.
#pragma once

#include <QImage>

namespace meters {

// The image of `id` (resources/images/ImageIds.h), or a null image when it cannot be loaded.
const QImage& MeterImage(int id);

// Width of one frame of a horizontal strip of four frames.
int StripFrameWidth(const QImage& strip);

}  // namespace meters
