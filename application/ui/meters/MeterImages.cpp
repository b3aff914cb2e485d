// The meters' images.
#include "application/ui/meters/MeterImages.h"

#include <map>

#include "platform/ui/drawing/PngResource.h"
#include "resources/images/ImageIds.h"

namespace meters {

const QImage& MeterImage(int id)
{
    static std::map<int, QImage> loaded;
    QImage& image = loaded[id];
    if (image.isNull()) {
        platform::LoadPngResource(id, image);
    }
    return image;
}

int StripFrameWidth(const QImage& strip)
{
    return strip.width() / ImageId::kIndicatorFrames;
}

}  // namespace meters
