// Model families.
#include "application/flows/ModelFamily.h"

ModelType ModelFamily(ModelType model)
{
    switch (model) {
    case ModelType::MV220P:
        return ModelType::MV220;
    case ModelType::MV440A:
        return ModelType::MV440;
    default:
        return model;
    }
}

ModelType AmplifierModel(CobaltDeviceManager::ICobaltAmplifier& amplifier)
{
    const std::int32_t model = amplifier.GetModel();
    return model >= 0 && model < static_cast<std::int32_t>(ModelType::Unknown) ? static_cast<ModelType>(model)
                                                                               : ModelType::Unknown;
}

bool DesignFitsAmplifier(ModelType designModel, ModelType amplifierModel)
{
    return designModel != ModelType::Unknown && ModelFamily(designModel) == ModelFamily(amplifierModel);
}
