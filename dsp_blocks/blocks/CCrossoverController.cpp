// Crossover block: filter choice in the parameter blob, two designed sections per filter
// in the coefficient blob.
#include "dsp_blocks/blocks/CCrossoverController.h"

#include <algorithm>
#include <cstring>

#include "dsp_blocks/blocks/CoefficientBlob.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/ParamBlob.h"
#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/filters/FilterDesign.h"
#include "dsp_blocks/filters/FilterTypeTable.h"

namespace {

constexpr std::uint8_t kTagFilter = 0xF0;
constexpr std::uint8_t kTagFilterValues = 0xE1;
constexpr std::uint8_t kHighPassIndex = 0;
constexpr std::uint8_t kLowPassIndex = 1;

// Blobs of an older layout are at least this long and begin with the text "Flat"; they
// carry nothing this controller can use.
constexpr std::uint32_t kOlderLayoutMinSize = 128;
constexpr char kOlderLayoutMark[4] = {'F', 'l', 'a', 't'};

// Each filter has four section slots; the offered types need only the first two.
constexpr std::size_t kDesignedSectionsPerFilter = 2;
constexpr std::size_t kSectionsPerFilter = 4;

bool IsKnownFilterType(std::uint32_t type)
{
    for (const FilterTypeEntry& entry : FilterTypeTable) {
        if (static_cast<std::uint32_t>(entry.typeCode) == type) {
            return true;
        }
    }
    return false;
}

bool WriteFilter(ParamBlobWriter& writer, std::uint8_t index, const CrossoverFilter& filter)
{
    return writer.Open(kTagFilter) && writer.WriteU8(index) && writer.Open(kTagFilterValues) &&
           writer.WriteU8(static_cast<std::uint8_t>(filter.type)) && writer.WriteF32(filter.frequency) &&
           writer.Close() && writer.Close();
}

}  // namespace

CCrossoverController::CCrossoverController(DiagramBlock& block) : block_(block) {}

CCrossoverController::~CCrossoverController() = default;

std::int32_t CCrossoverController::GetChannel() const
{
    return block_.channel;
}

float CCrossoverController::GetMinimumFrequency() const
{
    return ParamRange::IsHighImpedanceMode(channelMode_) ? ParamRange::kMinHighImpedanceFrequency
                                                         : ParamRange::kMinFrequency;
}

CrossoverFilter CCrossoverController::Sanitize(CrossoverFilter filter, const CrossoverFilter& fallback, float minimum)
{
    if (!IsKnownFilterType(filter.type)) {
        filter.type = FilterTypeCode::kFlat;
    }
    const float fallbackFrequency = std::clamp(fallback.frequency, minimum, ParamRange::kMaxFrequency);
    filter.frequency = ParamRange::Clamp(filter.frequency, minimum, ParamRange::kMaxFrequency, fallbackFrequency);
    return filter;
}

// A high-impedance line keeps the high-pass out of the lowest frequencies; the low-pass
// is never raised for it.
CrossoverFilter CCrossoverController::SanitizeHighPass(const CrossoverFilter& filter) const
{
    return Sanitize(filter, kDefaultHighPass, GetMinimumFrequency());
}

CrossoverFilter CCrossoverController::SanitizeLowPass(const CrossoverFilter& filter)
{
    return Sanitize(filter, kDefaultLowPass, ParamRange::kMinFrequency);
}

std::vector<std::uint8_t> CCrossoverController::EncodeParams(const CrossoverFilter& highPass,
                                                             const CrossoverFilter& lowPass)
{
    ParamBlobWriter writer(kParamBufferSize);
    if (!WriteFilter(writer, kHighPassIndex, highPass) || !WriteFilter(writer, kLowPassIndex, lowPass)) {
        return {};
    }
    return writer.Finish().value_or(std::vector<std::uint8_t>{});
}

bool CCrossoverController::DecodeParams(const std::uint8_t* data, std::uint32_t size,
                                        CrossoverFilterPair& pair)
{
    return ReadParamBlob(data, size, [&pair](ParamChunk& chunk) {
        if (chunk.Tag() != kTagFilter) {
            return true;
        }
        std::uint8_t index = 0;
        if (!chunk.ReadU8(index)) {
            return false;
        }
        if (index != kHighPassIndex && index != kLowPassIndex) {
            return true;
        }
        CrossoverFilter& filter = index == kHighPassIndex ? pair.highPass : pair.lowPass;
        return chunk.ForEachNested([&filter](ParamChunk& nested) {
            if (nested.Tag() != kTagFilterValues) {
                return true;
            }
            std::uint8_t type = 0;
            float frequency = 0.0f;
            if (!nested.ReadU8(type) || !nested.ReadF32(frequency)) {
                return false;
            }
            filter.type = type;
            filter.frequency = frequency;
            return true;
        });
    });
}

void CCrossoverController::Recompute()
{
    const FilterDesign& highPassDesign = FindFilterTable(true, static_cast<std::int32_t>(highPass_.type));
    const FilterDesign& lowPassDesign = FindFilterTable(false, static_cast<std::int32_t>(lowPass_.type));
    for (std::size_t i = 0; i < kDesignedSectionsPerFilter; ++i) {
        sections_[i] = DesignSection(highPassDesign.rows[i], highPass_.frequency, 1.0);
        sections_[kSectionsPerFilter + i] = DesignSection(lowPassDesign.rows[i], lowPass_.frequency, 1.0);
    }
}

std::vector<std::uint8_t> CCrossoverController::BuildCoefficientBlob(bool& ok) const
{
    CoefficientBlob blob;
    for (std::size_t i = 0; i < kDesignedSectionsPerFilter; ++i) {
        blob.AppendSection(sections_[i]);
    }
    for (std::size_t i = 0; i < kDesignedSectionsPerFilter; ++i) {
        blob.AppendSection(sections_[kSectionsPerFilter + i]);
    }
    ok = blob.Ok();
    return blob.Bytes();
}

bool CCrossoverController::Commit()
{
    Recompute();
    bool coefficientsOk = false;
    const std::vector<std::uint8_t> coefficients = BuildCoefficientBlob(coefficientsOk);
    const std::vector<std::uint8_t> params = EncodeParams(highPass_, lowPass_);
    if (!coefficientsOk || params.empty()) {
        return false;
    }
    block_.SetBlockBlobs(coefficients, params);
    return true;
}

bool CCrossoverController::Load()
{
    highPass_ = kDefaultHighPass;
    lowPass_ = kDefaultLowPass;
    const std::uint8_t* data = nullptr;
    const std::uint32_t size = block_.GetParamBlob(data);
    const bool olderLayout = size >= kOlderLayoutMinSize &&
                             std::memcmp(data, kOlderLayoutMark, sizeof(kOlderLayoutMark)) == 0;
    if (size != 0 && !olderLayout) {
        CrossoverFilterPair pair{highPass_, lowPass_};
        if (!DecodeParams(data, size, pair)) {
            return false;
        }
        highPass_ = SanitizeHighPass(pair.highPass);
        lowPass_ = SanitizeLowPass(pair.lowPass);
    }
    return Commit();
}

bool CCrossoverController::ApplyBlob(std::int32_t /*channel*/, const std::uint8_t* data, std::uint32_t size)
{
    // Decoded whole into a copy first: a blob that fails half-way changes nothing.
    CrossoverFilterPair pair{highPass_, lowPass_};
    if (!DecodeParams(data, size, pair)) {
        return false;
    }
    highPass_ = SanitizeHighPass(pair.highPass);
    lowPass_ = SanitizeLowPass(pair.lowPass);
    const bool committed = Commit();
    if (IBlockPanel* panel = panel_.Get()) {
        panel->Refresh();
    }
    return committed;
}

bool CCrossoverController::SetFilters(const CrossoverFilterPair* pair)
{
    if (pair == nullptr) {
        highPass_ = SanitizeHighPass(kDefaultHighPass);
        lowPass_ = SanitizeLowPass(kDefaultLowPass);
    } else {
        highPass_ = SanitizeHighPass(pair->highPass);
        lowPass_ = SanitizeLowPass(pair->lowPass);
    }
    return Commit();
}

bool CCrossoverController::SetFilter(std::int32_t which, CrossoverFilter filter, bool redesignOnly)
{
    if (which == kHighPassIndex) {
        highPass_ = SanitizeHighPass(filter);
    } else if (which == kLowPassIndex) {
        lowPass_ = SanitizeLowPass(filter);
    }
    if (redesignOnly) {
        Recompute();
        return true;
    }
    return Commit();
}

bool CCrossoverController::SetModel(ModelType /*model*/)
{
    return false;
}

bool CCrossoverController::ApplyChannelConfig(ChannelConfig config)
{
    const std::int32_t channel = block_.channel;
    if (channel < 0 || channel >= static_cast<std::int32_t>(config.channels.size())) {
        return false;
    }
    channelMode_ = config.channels[static_cast<std::size_t>(channel)].mode;
    const float minimum = GetMinimumFrequency();
    const bool raised = highPass_.frequency < minimum;
    if (raised) {
        highPass_.frequency = minimum;
    }
    if (IBlockPanel* panel = panel_.Get()) {
        panel->UpdateChannelMode();
        if (raised) {
            panel->Refresh();
        }
    }
    // A change that could not be stored is no change the document may rely on.
    return raised && Commit();
}

IBlockPanel* CCrossoverController::OpenDialog(IPanelHost& parent)
{
    return panel_.Open(parent, PanelKind::Crossover, *this, &block_.name);
}

bool CCrossoverController::CloseDialog()
{
    return panel_.Close();
}

void CCrossoverController::OnPanelDestroyed(IBlockPanel* panel)
{
    panel_.Forget(panel);
}
