// Names and channel classes of the amplifier models.
#pragma once

#include <cstdint>
#include <string>

#include "dsp_blocks/blocks/BlockTypes.h"

// "MV220" ... "MV340A" for the five models, "Unknown model" for any other value.
std::u16string GetModelName(ModelType model);

// 2 for the two-channel models MV220 and MV220P, 4 for every other value.
std::int32_t GetModelChannelClass(ModelType model);
