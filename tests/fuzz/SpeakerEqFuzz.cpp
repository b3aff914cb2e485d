// The speaker-EQ list and XML definition file on outside bytes: the first two bytes give the
// length of the list text, the rest is the XML. Definitions are also applied to a fixed list,
// so that XML the list would not reach is read too. A library that loads holds only presets
// whose values the blocks can take.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"
#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/speaker_eq/SpeakerEqDefinitions.h"
#include "dsp_blocks/speaker_eq/SpeakerEqListFile.h"
#include "dsp_blocks/speaker_eq/TextConversion.h"

namespace {

using speaker_eq::SpeakerEqPreset;

void CheckUsable(SpeakerEqPreset& preset)
{
    const auto within = [](float value, float low, float high) { return ParamRange::IsWithin(value, low, high); };
    bool usable = within(preset.eqGain, ParamRange::kMinEqGainDb, ParamRange::kMaxEqGainDb) &&
                  within(preset.highPassFrequency, ParamRange::kMinFrequency, ParamRange::kMaxFrequency) &&
                  within(preset.lowPassFrequency, ParamRange::kMinFrequency, ParamRange::kMaxFrequency);
    for (const speaker_eq::SpeakerEqBand& band : preset.bands) {
        usable = usable && std::isfinite(band.q) &&
                 within(band.frequency, ParamRange::kMinFrequency, ParamRange::kMaxFrequency);
    }
    preset.ComputeBandSections();
    if (!usable || LSpeakerEQDialogController::BuildCoefficientBlob(preset).empty()) {
        std::abort();
    }
}

void Apply(std::string_view xml, std::vector<SpeakerEqPreset>& entries)
{
    std::string error;
    if (speaker_eq::ApplySpeakerEqDefinitions(xml, entries, error)) {
        for (SpeakerEqPreset& preset : entries) {
            CheckUsable(preset);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) {
        return 0;
    }
    const std::size_t listSize = std::min<std::size_t>(static_cast<std::size_t>(data[0] | data[1] << 8), size - 2);
    const std::string_view list(reinterpret_cast<const char*>(data + 2), listSize);
    const std::string_view xml(reinterpret_cast<const char*>(data + 2 + listSize), size - 2 - listSize);

    speaker_eq::SpeakerEqList parsed;
    std::string error;
    if (speaker_eq::ParseSpeakerEqList(speaker_eq::DecodeTextFile(list), parsed, error)) {
        Apply(xml, parsed.entries);
    }
    std::vector<SpeakerEqPreset> fixed(2);
    fixed[0].name = fixed[0].eqName = u"Flat";
    fixed[1].name = fixed[1].eqName = u"Sub";
    Apply(xml, fixed);
    return 0;
}
