// Input-EQ block: nine bands designed with DesignBiquad.
#include "dsp_blocks/blocks/LInputEQController.h"

#include "dsp_blocks/blocks/CoefficientBlob.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/ParamBlob.h"
#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/filters/Biquad.h"

namespace {

constexpr std::uint8_t kTagBand = 0xF0;
constexpr std::uint8_t kTagEqMode = 0xF1;
constexpr std::uint8_t kTagWidthIsQ = 0xF2;
constexpr std::uint8_t kTagBandValues = 0xE1;
constexpr std::uint8_t kTagBandType = 0xE2;

// Blobs of an older layout fill the whole 256-byte area and begin with the bytes 1, 0.
constexpr std::uint32_t kOlderLayoutMinSize = 256;

constexpr std::uint32_t kLastBandType = 3;
constexpr std::uint32_t kLastEqMode = 1;

// The single-precision square root of 2.
constexpr float kDefaultQ = 1.4142135f;
constexpr float kDefaultFrequencies[LInputEQController::kBandCount] = {
    63.0f, 125.0f, 250.0f, 500.0f, 1000.0f, 2000.0f, 4000.0f, 8000.0f, 16000.0f};

// Band types of this block as DesignBiquad codes: peaking, high shelf, low shelf, notch.
std::uint32_t DesignCodeForBandType(std::uint32_t type)
{
    switch (type) {
    case 0:
        return BiquadType::kPeaking;
    case 1:
        return BiquadType::kHighShelf;
    case 2:
        return BiquadType::kLowShelf;
    case 3:
        return BiquadType::kNotch;
    default:
        return BiquadType::kFlat;
    }
}

}  // namespace

std::array<EqBand, LInputEQController::kBandCount> LInputEQController::DefaultBands()
{
    std::array<EqBand, kBandCount> bands{};
    for (std::size_t i = 0; i < kBandCount; ++i) {
        bands[i] = EqBand{0, kDefaultFrequencies[i], kDefaultQ, 0.0f};
    }
    return bands;
}

LInputEQController::LInputEQController(DiagramBlock& block) : block_(block) {}

LInputEQController::~LInputEQController() = default;

std::int32_t LInputEQController::GetChannel() const
{
    return block_.channel;
}

std::size_t LInputEQController::GetBands(const EqBand*& out) const
{
    out = params_.bands.data();
    return kBandCount;
}

std::size_t LInputEQController::GetSections(const BiquadCoefficients*& out) const
{
    out = sections_.data();
    return kBandCount;
}

EqBand LInputEQController::SanitizeBand(EqBand band, const EqBand& fallback)
{
    if (band.type > kLastBandType) {
        band.type = fallback.type;
    }
    band.frequency = ParamRange::Clamp(band.frequency, ParamRange::kMinFrequency, ParamRange::kMaxFrequency,
                                       fallback.frequency);
    band.q = ParamRange::Clamp(band.q, ParamRange::kMinQ, ParamRange::kMaxQ, fallback.q);
    band.gain = ParamRange::Clamp(band.gain, ParamRange::kMinEqGainDb, ParamRange::kMaxEqGainDb, fallback.gain);
    return band;
}

LInputEQController::Params LInputEQController::Sanitize(Params params)
{
    if (params.eqMode > kLastEqMode) {
        params.eqMode = kDefaultEqMode;
    }
    params.widthIsQ = params.widthIsQ != 0 ? 1 : 0;
    const std::array<EqBand, kBandCount> defaults = DefaultBands();
    for (std::size_t i = 0; i < kBandCount; ++i) {
        params.bands[i] = SanitizeBand(params.bands[i], defaults[i]);
    }
    return params;
}

std::vector<std::uint8_t> LInputEQController::EncodeParams(const Params& params)
{
    ParamBlobWriter writer(kParamBufferSize);
    bool ok = writer.Open(kTagEqMode) && writer.WriteU32(params.eqMode) && writer.Close() &&
              writer.Open(kTagWidthIsQ) && writer.WriteU8(static_cast<std::uint8_t>(params.widthIsQ)) &&
              writer.Close();
    for (std::size_t i = 0; ok && i < kBandCount; ++i) {
        const EqBand& band = params.bands[i];
        ok = writer.Open(kTagBand) && writer.WriteU8(static_cast<std::uint8_t>(i)) &&
             writer.Open(kTagBandValues) && writer.WriteF32(band.frequency) && writer.WriteF32(band.gain) &&
             writer.WriteF32(band.q) && writer.Close() && writer.Open(kTagBandType) &&
             writer.WriteU8(static_cast<std::uint8_t>(band.type)) && writer.Close() && writer.Close();
    }
    if (!ok) {
        return {};
    }
    return writer.Finish().value_or(std::vector<std::uint8_t>{});
}

bool LInputEQController::DecodeParams(const std::uint8_t* data, std::uint32_t size, Params& params)
{
    return ReadParamBlob(data, size, [&params](ParamChunk& chunk) {
        switch (chunk.Tag()) {
        case kTagBand: {
            std::uint8_t index = 0;
            if (!chunk.ReadU8(index)) {
                return false;
            }
            if (index >= kBandCount) {
                return true;
            }
            EqBand& band = params.bands[index];
            return chunk.ForEachNested([&band](ParamChunk& nested) {
                if (nested.Tag() == kTagBandValues) {
                    return nested.ReadF32(band.frequency) && nested.ReadF32(band.gain) && nested.ReadF32(band.q);
                }
                if (nested.Tag() == kTagBandType) {
                    std::uint8_t type = 0;
                    if (!nested.ReadU8(type)) {
                        return false;
                    }
                    band.type = type;
                }
                return true;
            });
        }
        case kTagEqMode:
            return chunk.ReadU32(params.eqMode);
        case kTagWidthIsQ: {
            std::uint8_t flag = 0;
            if (!chunk.ReadU8(flag)) {
                return false;
            }
            params.widthIsQ = (params.widthIsQ & ~0xFFu) | flag;
            return true;
        }
        default:
            return true;
        }
    });
}

void LInputEQController::Design()
{
    for (std::size_t i = 0; i < kBandCount; ++i) {
        const EqBand& band = params_.bands[i];
        DesignBiquad(DesignCodeForBandType(band.type), band.frequency, band.q, band.gain, 0.0f, sections_[i]);
    }
}

bool LInputEQController::Commit()
{
    Design();
    CoefficientBlob coefficients;
    for (const BiquadCoefficients& section : sections_) {
        coefficients.AppendSection(section);
    }
    const std::vector<std::uint8_t> params = EncodeParams(params_);
    if (!coefficients.Ok() || params.empty()) {
        return false;
    }
    block_.SetBlockBlobs(coefficients.Bytes(), params);
    return true;
}

bool LInputEQController::Load()
{
    params_ = Params{};
    const std::uint8_t* data = nullptr;
    const std::uint32_t size = block_.GetParamBlob(data);
    const bool olderLayout = size >= kOlderLayoutMinSize && data[0] == 1 && data[1] == 0;
    if (size != 0 && !olderLayout) {
        Params decoded = params_;
        if (!DecodeParams(data, size, decoded)) {
            return false;
        }
        params_ = Sanitize(decoded);
    }
    return Commit();
}

bool LInputEQController::ApplyBlob(std::int32_t /*channel*/, const std::uint8_t* data, std::uint32_t size)
{
    // Decoded whole into a copy first: a blob that fails half-way changes nothing.
    Params decoded = params_;
    if (!DecodeParams(data, size, decoded)) {
        return false;
    }
    params_ = Sanitize(decoded);
    const bool committed = Commit();
    if (IBlockPanel* panel = panel_.Get()) {
        panel->Refresh();
    }
    return committed;
}

bool LInputEQController::SetBand(std::size_t index, const EqBand& band, bool designOnly)
{
    if (index >= kBandCount) {
        return false;
    }
    params_.bands[index] = SanitizeBand(band, DefaultBands()[index]);
    if (designOnly) {
        Design();
        return true;
    }
    return Commit();
}

bool LInputEQController::SetEqMode(std::uint32_t mode)
{
    params_.eqMode = mode > kLastEqMode ? kDefaultEqMode : mode;
    return Commit();
}

bool LInputEQController::SetWidthIsQ(std::uint32_t flag)
{
    params_.widthIsQ = flag != 0 ? 1 : 0;
    return Commit();
}

bool LInputEQController::ResetBands()
{
    params_.bands = DefaultBands();
    if (IBlockPanel* panel = panel_.Get()) {
        panel->Refresh();
    }
    return Commit();
}

bool LInputEQController::SetModel(ModelType /*model*/)
{
    return false;
}

bool LInputEQController::ApplyChannelConfig(ChannelConfig /*config*/)
{
    return false;
}

IBlockPanel* LInputEQController::OpenDialog(IPanelHost& parent)
{
    return panel_.Open(parent, PanelKind::InputEQ, *this, &block_.name);
}

bool LInputEQController::CloseDialog()
{
    return panel_.Close();
}

void LInputEQController::OnPanelDestroyed(IBlockPanel* panel)
{
    panel_.Forget(panel);
}
