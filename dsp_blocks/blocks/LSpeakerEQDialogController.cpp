// Speaker-EQ group: the preset's name in the parameter blob, its equaliser sections in
// the coefficient blob, its crossover and limiter pushed into the channel's controllers.
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/CoefficientBlob.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/ParamBlob.h"
#include "dsp_blocks/filters/FloatRounding.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "dsp_blocks/speaker_eq/TextConversion.h"
#include "platform/base/Cp1252.h"
#include "resources/strings/StringIds.h"
#include "resources/strings/StringTable.h"

namespace {

constexpr std::uint8_t kTagPresetName = 0x80;

// Blobs of an older layout are at least this long and begin with the text "Flat".
constexpr std::uint32_t kOlderLayoutMinSize = 128;
constexpr char kOlderLayoutMark[4] = {'F', 'l', 'a', 't'};

std::u16string FlatName()
{
    return speaker_eq::Utf8ToUtf16(LoadStringId(StringId::kFlatPreset)).value_or(u"Flat");
}

}  // namespace

LSpeakerEQDialogController::LSpeakerEQDialogController(std::vector<SpeakerEqChannel> channels)
    : channels_(std::move(channels))
{
}

LSpeakerEQDialogController::~LSpeakerEQDialogController() = default;

const std::u16string& LSpeakerEQDialogController::GetPresetName(std::size_t index) const
{
    static const std::u16string empty;
    return index < channels_.size() ? channels_[index].presetName : empty;
}

std::vector<std::uint8_t> LSpeakerEQDialogController::BuildCoefficientBlob(const speaker_eq::SpeakerEqPreset& preset)
{
    // Single precision throughout, but for the power of ten, which is taken in double
    // and rounded once to single.
    const float exponent = 0.05f * preset.eqGain;
    const auto gain = static_cast<float>(RoundToSingle(std::pow(10.0, static_cast<double>(exponent))));
    CoefficientBlob blob;
    for (std::size_t k = 0; k < speaker_eq::kBandCount; ++k) {
        const speaker_eq::SpeakerEqSection& section = preset.bandSections[k];
        const float b0 = k == 0 ? section.b0 * gain : section.b0;
        const float b1 = b0 * section.c1;
        const float b2 = b0 * section.c2;
        blob.AppendDouble(b0);
        blob.AppendDouble(b1);
        blob.AppendDouble(b2);
        blob.AppendDouble(-section.a1);
        blob.AppendDouble(-section.a2);
    }
    if (!blob.Ok()) {
        return {};
    }
    return blob.Bytes();
}

std::vector<std::uint8_t> LSpeakerEQDialogController::EncodeParams(const std::u16string& presetName)
{
    const std::string name = platform::Utf16ToCp1252(presetName);
    ParamBlobWriter writer(kParamBufferSize);
    // A chunk cannot be empty (a zero length ends the list), so an empty name writes none
    // and reads back as no name.
    if (!name.empty() && !(writer.Open(kTagPresetName) &&
                           writer.WriteBytes(reinterpret_cast<const std::uint8_t*>(name.data()),
                                             static_cast<std::uint32_t>(name.size())) &&
                           writer.Close())) {
        return {};
    }
    return writer.Finish().value_or(std::vector<std::uint8_t>{});
}

bool LSpeakerEQDialogController::DecodeParams(const std::uint8_t* data, std::uint32_t size,
                                              std::u16string& presetName)
{
    return ReadParamBlob(data, size, [&presetName](ParamChunk& chunk) {
        if (chunk.Tag() != kTagPresetName) {
            return true;
        }
        // The name also goes to the channel's limiter, whose area holds no longer name;
        // the rest of the payload is passed over.
        const std::uint32_t count =
            std::min<std::uint32_t>(chunk.Remaining(), static_cast<std::uint32_t>(speaker_eq::kMaxPresetNameBytes));
        std::string bytes(count, '\0');
        if (count != 0 && !chunk.ReadBytes(reinterpret_cast<std::uint8_t*>(bytes.data()), count)) {
            return false;
        }
        // A design saved before a preset was renamed names it by its former name.
        presetName = ShownSpeakerEqPresetName(platform::Cp1252ToUtf16(bytes));
        return true;
    });
}

bool LSpeakerEQDialogController::ApplyPresetToChannel(const SpeakerEqChannel& record)
{
    const speaker_eq::SpeakerEqPreset& preset = FindSpeakerEqPreset(record.presetName);
    bool ok = true;
    if (record.crossover != nullptr) {
        if (preset.highPassType == 0 && preset.lowPassType == 0) {
            ok = record.crossover->SetFilters(nullptr) && ok;
        } else {
            const CrossoverFilterPair pair{{preset.highPassType, preset.highPassFrequency},
                                           {preset.lowPassType, preset.lowPassFrequency}};
            ok = record.crossover->SetFilters(&pair) && ok;
        }
    }
    if (record.limiter != nullptr) {
        ok = record.limiter->ApplySpeakerPreset(record.presetName.c_str(),
                                                preset.limiterFlag != 0 ? &preset.limiter : nullptr, true) &&
             ok;
    }
    return ok;
}

bool LSpeakerEQDialogController::CommitChannel(SpeakerEqChannel& record)
{
    if (record.block == nullptr) {
        return false;
    }
    record.block->label2 = record.presetName;
    const std::vector<std::uint8_t> coefficients = BuildCoefficientBlob(FindSpeakerEqPreset(record.presetName));
    const std::vector<std::uint8_t> params = EncodeParams(record.presetName);
    if (coefficients.empty() || params.empty()) {
        return false;
    }
    record.block->SetBlockBlobs(coefficients, params);
    return true;
}

bool LSpeakerEQDialogController::Load()
{
    bool all = true;
    for (SpeakerEqChannel& record : channels_) {
        if (record.block == nullptr) {
            all = false;
            continue;
        }
        const std::uint8_t* data = nullptr;
        const std::uint32_t size = record.block->GetParamBlob(data);
        const bool olderLayout = size >= kOlderLayoutMinSize &&
                                 std::memcmp(data, kOlderLayoutMark, sizeof(kOlderLayoutMark)) == 0;
        record.presetName = FlatName();
        if (size != 0 && !olderLayout) {
            std::u16string name = record.presetName;
            if (!DecodeParams(data, size, name)) {
                all = false;
                continue;
            }
            record.presetName = std::move(name);
        }
        // Loading keeps the limiter's own thresholds; its preset name and ceiling follow the
        // channel's preset, the flat one of an empty blob included, so that a design saved and
        // opened again loads the same. A limiter whose blob names the preset otherwise (by its
        // former name, say) stores the name in force, so that a save writes what is shown and
        // uploaded.
        if (record.limiter != nullptr) {
            const bool limiterNamedOtherwise = record.limiter->GetPresetName() != record.presetName;
            const speaker_eq::SpeakerEqPreset& preset = FindSpeakerEqPreset(record.presetName);
            record.limiter->ApplySpeakerPreset(record.presetName.c_str(),
                                               preset.limiterFlag != 0 ? &preset.limiter : nullptr, false);
            if (limiterNamedOtherwise) {
                all = record.limiter->Commit() && all;
            }
        }
        all = CommitChannel(record) && all;
    }
    return all;
}

bool LSpeakerEQDialogController::Commit()
{
    bool all = true;
    for (SpeakerEqChannel& record : channels_) {
        all = CommitChannel(record) && all;
    }
    return all;
}

bool LSpeakerEQDialogController::SetPreset(std::size_t index, const char16_t* name)
{
    if (index >= channels_.size()) {
        return false;
    }
    SpeakerEqChannel& record = channels_[index];
    std::u16string previous = record.presetName;
    record.presetName = name != nullptr ? std::u16string(name) : std::u16string();
    if (ApplyPresetToChannel(record) && CommitChannel(record)) {
        return true;
    }
    // The row must not show a preset that was not stored; the channel's crossover and
    // limiter go back to the previous preset as well.
    record.presetName = std::move(previous);
    ApplyPresetToChannel(record);
    CommitChannel(record);
    return false;
}

bool LSpeakerEQDialogController::ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size)
{
    // The record is found by the block's channel alone: a channel outside the group
    // pastes nothing.
    if (!IsEntryIndex(channel, channels_.size())) {
        return false;
    }
    const auto index = static_cast<std::size_t>(channel);
    SpeakerEqChannel& record = channels_[index];
    std::u16string name = record.presetName;
    if (!DecodeParams(data, size, name)) {
        return false;
    }
    record.presetName = std::move(name);
    // The record is stored even when the channel did not take the whole preset, so that
    // the block names the preset the row shows.
    const bool applied = ApplyPresetToChannel(record);
    const bool committed = CommitChannel(record);
    if (IBlockPanel* panel = OpenPanelWindow()) {
        panel->RefreshRow(index);
    }
    return applied && committed;
}

IBlockPanel* LSpeakerEQDialogController::OpenDialog(IPanelHost& parent)
{
    return OpenPanel(parent, PanelKind::SpeakerEQ);
}

bool LSpeakerEQDialogController::SetModel(ModelType /*model*/)
{
    return false;
}

bool LSpeakerEQDialogController::ApplyChannelConfig(ChannelConfig /*config*/)
{
    return false;
}
