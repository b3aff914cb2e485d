// Model families as the device flows compare a design with an amplifier: MV220P counts as
// MV220 and MV440A as MV440.
#pragma once

#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "dsp_blocks/blocks/BlockTypes.h"

ModelType ModelFamily(ModelType model);
// The amplifier's model, Unknown for a value outside the five models.
ModelType AmplifierModel(CobaltDeviceManager::ICobaltAmplifier& amplifier);
// A design of a known model whose family is the amplifier's.
bool DesignFitsAmplifier(ModelType designModel, ModelType amplifierModel);
