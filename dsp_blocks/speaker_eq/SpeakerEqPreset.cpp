// Copying and defining presets, and designing their band sections.
#include "dsp_blocks/speaker_eq/SpeakerEqPreset.h"

#include "dsp_blocks/filters/Biquad.h"
#include "dsp_blocks/filters/BiquadCoefficients.h"

namespace speaker_eq {

SpeakerEqPreset::SpeakerEqPreset(const SpeakerEqPreset& other)
    : name(other.name),
      eqName(other.eqName),
      description(other.description),
      highPassType(other.highPassType),
      highPassFrequency(other.highPassFrequency),
      lowPassType(other.lowPassType),
      lowPassFrequency(other.lowPassFrequency),
      usingBandwidth(other.usingBandwidth),
      eqPolarity(other.eqPolarity),
      eqGain(other.eqGain),
      bands(other.bands),
      limiter(other.limiter),
      limiterFlag(other.limiterFlag)
{
}

void SpeakerEqPreset::AssignDefinition(const SpeakerEqPreset& definition)
{
    eqName = definition.eqName;
    description = definition.description;
    highPassType = definition.highPassType;
    highPassFrequency = definition.highPassFrequency;
    lowPassType = definition.lowPassType;
    lowPassFrequency = definition.lowPassFrequency;
    usingBandwidth = definition.usingBandwidth;
    eqPolarity = definition.eqPolarity;
    eqGain = definition.eqGain;
    bands = definition.bands;
    limiter = definition.limiter;
    limiterFlag = definition.limiterFlag;
}

void SpeakerEqPreset::ComputeBandSections()
{
    for (std::size_t k = 0; k < kBandCount; ++k) {
        const SpeakerEqBand& band = bands[k];
        BiquadCoefficients designed;
        DesignBiquad(band.type, band.frequency, band.q, band.gain, 0.0f, designed);
        bandSections[k] = SpeakerEqSection{static_cast<float>(designed.a1), static_cast<float>(designed.a2),
                                           static_cast<float>(designed.b0), static_cast<float>(designed.c1),
                                           static_cast<float>(designed.c2)};
    }
}

}  // namespace speaker_eq
