// Model names and channel classes.
#include "dsp_blocks/blocks/ModelUtilities.h"

std::u16string GetModelName(ModelType model)
{
    switch (model) {
    case ModelType::MV220:
        return u"MV220";
    case ModelType::MV220P:
        return u"MV220P";
    case ModelType::MV440:
        return u"MV440";
    case ModelType::MV440A:
        return u"MV440A";
    case ModelType::MV340A:
        return u"MV340A";
    default:
        return u"Unknown model";
    }
}

std::int32_t GetModelChannelClass(ModelType model)
{
    return (model == ModelType::MV220 || model == ModelType::MV220P) ? 2 : 4;
}
