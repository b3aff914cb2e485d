// Limiter block: six values and the applied speaker preset's name in the parameter blob,
// six coefficients in the coefficient blob.
#include "dsp_blocks/blocks/LLimiterController.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp_blocks/blocks/CoefficientBlob.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/ParamBlob.h"
#include "dsp_blocks/filters/FloatRounding.h"
#include "dsp_blocks/speaker_eq/SpeakerEqPreset.h"
#include "dsp_blocks/speaker_eq/TextConversion.h"
#include "platform/base/Cp1252.h"
#include "resources/strings/StringIds.h"
#include "resources/strings/StringTable.h"

namespace {

constexpr std::uint8_t kTagValues = 0xA1;
constexpr std::uint8_t kTagPresetName = 0xA2;

// Blobs of an older layout are at least this long and begin with two zero bytes.
constexpr std::uint32_t kOlderLayoutMinSize = 128;
constexpr std::uint32_t kMaxNameBytes = 0x100000;

// Threshold limits by channel mode and model.
constexpr float kHighModePeak = 141.4f;  // mode 3
constexpr float kHighModeRms = 100.0f;
constexpr float kLowModePeak = 100.0f;  // mode 4
constexpr float kLowModeRms = 70.7f;
constexpr float kModelPeakCap = 141.4f;  // other modes, models 0-3 and 5
constexpr float kModelRmsCap = 100.0f;
constexpr float kSmallModelPeakCap = 80.0f;  // other modes, model 4
constexpr float kSmallModelRmsCap = 57.0f;

constexpr float kSamplesPerMs = 48000.0f;
constexpr float kMsPerSecond = 1000.0f;

// A speaker preset's name must fit behind the six values in the blob.
static_assert(speaker_eq::kMaxPresetNameBytes + 27 + 3 + 4 + 2 <= LLimiterController::kParamBufferSize);

std::u16string FlatName()
{
    return speaker_eq::Utf8ToUtf16(LoadStringId(StringId::kFlatPreset)).value_or(u"Flat");
}

float ClampValue(float value, float low, float high, float fallback)
{
    if (std::isnan(value)) {
        return fallback;
    }
    return std::clamp(value, low, high);
}

bool DecodeParams(const std::uint8_t* data, std::uint32_t size, LimiterSettings& values, std::u16string* name)
{
    return ReadParamBlob(data, size, [&values, name](ParamChunk& chunk) {
        if (chunk.Tag() == kTagValues) {
            return chunk.ReadF32(values.peakThreshold) && chunk.ReadF32(values.peakAttack) &&
                   chunk.ReadF32(values.peakRelease) && chunk.ReadF32(values.rmsThreshold) &&
                   chunk.ReadF32(values.rmsAttack) && chunk.ReadF32(values.rmsRelease);
        }
        if (chunk.Tag() == kTagPresetName) {
            std::uint32_t count = 0;
            if (!chunk.ReadU32(count) || count >= kMaxNameBytes || count > chunk.Remaining()) {
                return false;
            }
            std::string bytes(count, '\0');
            if (count != 0 && !chunk.ReadBytes(reinterpret_cast<std::uint8_t*>(bytes.data()), count)) {
                return false;
            }
            // A longer name could never be stored again behind the six values.
            bytes.resize(std::min<std::size_t>(bytes.size(), speaker_eq::kMaxPresetNameBytes));
            if (name != nullptr) {
                *name = platform::Cp1252ToUtf16(bytes);
            }
        }
        return true;
    });
}

}  // namespace

LLimiterController::LLimiterController(DiagramBlock& block) : block_(block) {}

LLimiterController::~LLimiterController() = default;

std::int32_t LLimiterController::GetChannel() const
{
    return block_.channel;
}

float LLimiterController::ThresholdCoefficient(float volts)
{
    const float ratio = volts / kFullScaleVolts;
    return std::log(ratio);
}

float LLimiterController::TimeCoefficient(float milliseconds)
{
    const float samples = milliseconds * kSamplesPerMs / kMsPerSecond;
    const float reciprocal = 1.0f / samples;
    // The exponential is taken in double and rounded once to single precision; the helper
    // keeps the optimiser from dropping that rounding.
    const auto decay = static_cast<float>(RoundToSingle(std::exp(-static_cast<double>(reciprocal))));
    return 1.0f - decay;
}

std::vector<std::uint8_t> LLimiterController::BuildCoefficientBlob(const LimiterSettings& values)
{
    CoefficientBlob blob;
    blob.AppendDouble(ThresholdCoefficient(values.peakThreshold));
    blob.AppendDouble(TimeCoefficient(values.peakAttack));
    blob.AppendDouble(TimeCoefficient(values.peakRelease));
    blob.AppendDouble(ThresholdCoefficient(values.rmsThreshold));
    blob.AppendDouble(TimeCoefficient(values.rmsAttack));
    blob.AppendDouble(TimeCoefficient(values.rmsRelease));
    if (!blob.Ok()) {
        return {};
    }
    return blob.Bytes();
}

std::vector<std::uint8_t> LLimiterController::EncodeParams(const LimiterSettings& values,
                                                           const std::u16string& presetName)
{
    const std::string name = platform::Utf16ToCp1252(presetName);
    ParamBlobWriter writer(kParamBufferSize);
    const bool ok = writer.Open(kTagValues) && writer.WriteF32(values.peakThreshold) &&
                    writer.WriteF32(values.peakAttack) && writer.WriteF32(values.peakRelease) &&
                    writer.WriteF32(values.rmsThreshold) && writer.WriteF32(values.rmsAttack) &&
                    writer.WriteF32(values.rmsRelease) && writer.Close() && writer.Open(kTagPresetName) &&
                    name.size() < kMaxNameBytes && writer.WriteU32(static_cast<std::uint32_t>(name.size())) &&
                    writer.WriteBytes(reinterpret_cast<const std::uint8_t*>(name.data()),
                                      static_cast<std::uint32_t>(name.size())) &&
                    writer.Close();
    if (!ok) {
        return {};
    }
    return writer.Finish().value_or(std::vector<std::uint8_t>{});
}

LimiterSettings LLimiterController::Sanitize(const LimiterSettings& values)
{
    const LimiterSettings defaults;
    LimiterSettings out;
    out.peakThreshold = ClampValue(values.peakThreshold, kMinThreshold, kMaxThreshold, defaults.peakThreshold);
    out.peakAttack = ClampValue(values.peakAttack, kMinTimeMs, kMaxTimeMs, defaults.peakAttack);
    out.peakRelease = ClampValue(values.peakRelease, kMinTimeMs, kMaxTimeMs, defaults.peakRelease);
    out.rmsThreshold = ClampValue(values.rmsThreshold, kMinThreshold, kMaxThreshold, defaults.rmsThreshold);
    out.rmsAttack = ClampValue(values.rmsAttack, kMinTimeMs, kMaxTimeMs, defaults.rmsAttack);
    out.rmsRelease = ClampValue(values.rmsRelease, kMinTimeMs, kMaxTimeMs, defaults.rmsRelease);
    return out;
}

bool LLimiterController::GetLimits(LimiterSettings& out) const
{
    const auto model = static_cast<std::int32_t>(model_);
    const bool knownModel = model >= static_cast<std::int32_t>(ModelType::MV220) &&
                            model <= static_cast<std::int32_t>(ModelType::Unknown);
    out = LimiterSettings{};
    if (channelMode_ == 3) {
        out.peakThreshold = kHighModePeak;
        out.rmsThreshold = kHighModeRms;
        return knownModel;
    }
    if (channelMode_ == 4) {
        out.peakThreshold = kLowModePeak;
        out.rmsThreshold = kLowModeRms;
        return knownModel;
    }
    out = ceiling_;
    if (!knownModel) {
        return false;
    }
    const bool smallModel = model_ == ModelType::MV340A;
    out.peakThreshold = std::min(ceiling_.peakThreshold, smallModel ? kSmallModelPeakCap : kModelPeakCap);
    out.rmsThreshold = std::min(ceiling_.rmsThreshold, smallModel ? kSmallModelRmsCap : kModelRmsCap);
    return true;
}

bool LLimiterController::Commit()
{
    const std::vector<std::uint8_t> coefficients = BuildCoefficientBlob(current_);
    const std::vector<std::uint8_t> params = EncodeParams(current_, presetName_);
    if (coefficients.empty() || params.empty()) {
        return false;
    }
    block_.SetBlockBlobs(coefficients, params);
    return true;
}

void LLimiterController::TakeDefaults()
{
    current_ = LimiterSettings{};
    ceiling_ = LimiterSettings{};
    presetName_ = FlatName();
}

void LLimiterController::RefreshPanel(bool valuesChanged)
{
    if (IBlockPanel* panel = panel_.Get()) {
        panel->UpdateChannelMode();
        if (valuesChanged) {
            panel->Refresh();
        }
    }
}

bool LLimiterController::Load()
{
    TakeDefaults();
    const std::uint8_t* data = nullptr;
    const std::uint32_t size = block_.GetParamBlob(data);
    const bool olderLayout = size >= kOlderLayoutMinSize && data[0] == 0 && data[1] == 0;
    if (size != 0 && !olderLayout) {
        LimiterSettings values = current_;
        const bool decoded = DecodeParams(data, size, values, &presetName_);
        // Values read before a fault stay, as far as they are usable.
        current_ = Sanitize(values);
        if (!decoded) {
            return false;
        }
    }
    return Commit();
}

bool LLimiterController::ApplyBlob(std::int32_t /*channel*/, const std::uint8_t* data, std::uint32_t size)
{
    // Decoded into a copy first: a blob that fails half-way changes nothing.
    LimiterSettings values = current_;
    if (!DecodeParams(data, size, values, nullptr)) {
        return false;
    }
    current_ = Sanitize(values);
    // A pasted limiter never carries a speaker preset with it.
    presetName_.clear();
    const bool committed = Commit();
    if (IBlockPanel* panel = panel_.Get()) {
        panel->Refresh();
    }
    return committed;
}

bool LLimiterController::SetSettings(const LimiterSettings& values)
{
    const LimiterSettings previous = current_;
    current_ = Sanitize(values);
    if (!Commit()) {
        current_ = previous;
        return false;
    }
    return true;
}

bool LLimiterController::MoveThresholds(bool setExactly)
{
    LimiterSettings limits;
    GetLimits(limits);
    bool changed = false;
    if (setExactly ? current_.peakThreshold != limits.peakThreshold : current_.peakThreshold > limits.peakThreshold) {
        current_.peakThreshold = limits.peakThreshold;
        changed = true;
    }
    if (setExactly ? current_.rmsThreshold != limits.rmsThreshold : current_.rmsThreshold > limits.rmsThreshold) {
        current_.rmsThreshold = limits.rmsThreshold;
        changed = true;
    }
    return changed;
}

bool LLimiterController::ApplySpeakerPreset(const char16_t* name, const LimiterSettings* values, bool adjust)
{
    presetName_ = name != nullptr ? std::u16string(name) : std::u16string();
    ceiling_ = values != nullptr ? Sanitize(*values) : LimiterSettings{};
    if (IBlockPanel* panel = panel_.Get()) {
        panel->Refresh();
    }
    if (!adjust) {
        return true;
    }
    if (!MoveThresholds(true)) {
        return true;
    }
    const bool committed = Commit();
    if (IBlockPanel* panel = panel_.Get()) {
        panel->Refresh();
    }
    return committed;
}

bool LLimiterController::SetModel(ModelType model)
{
    model_ = model;
    const bool changed = MoveThresholds(false);
    RefreshPanel(changed);
    // A change that could not be stored is no change the document may rely on.
    return changed && Commit();
}

bool LLimiterController::ApplyChannelConfig(ChannelConfig config)
{
    const std::int32_t channel = block_.channel;
    if (channel >= 0 && channel < static_cast<std::int32_t>(config.channels.size())) {
        channelMode_ = config.channels[static_cast<std::size_t>(channel)].mode;
    }
    bool changed = false;
    switch (config.kind) {
    case 0:
        changed = MoveThresholds(false);
        break;
    case 1:
        changed = MoveThresholds(true);
        break;
    case 2:
        if (channel >= 0 && channel < 32 && ((config.changedMask >> channel) & 1u) != 0) {
            changed = MoveThresholds(true);
        }
        break;
    default:
        break;
    }
    RefreshPanel(changed);
    // A change that could not be stored is no change the document may rely on.
    return changed && Commit();
}

IBlockPanel* LLimiterController::OpenDialog(IPanelHost& parent)
{
    return panel_.Open(parent, PanelKind::Limiter, *this, &block_.name);
}

bool LLimiterController::CloseDialog()
{
    return panel_.Close();
}

void LLimiterController::OnPanelDestroyed(IBlockPanel* panel)
{
    panel_.Forget(panel);
}
