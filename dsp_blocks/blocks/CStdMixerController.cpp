// Matrix-mixer block: cross points and labels in the parameter blob, the sixteen
// effective gains in the coefficient blob.
#include "dsp_blocks/blocks/CStdMixerController.h"

#include <bit>
#include <cmath>

#include "dsp_blocks/blocks/CoefficientBlob.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/ParamBlob.h"
#include "platform/base/Cp1252.h"

namespace {

constexpr std::uint8_t kTagCrossPoints = 0xB8;
constexpr std::uint8_t kTagLabels = 0xB9;
constexpr std::uint8_t kTagOlderColumn = 0xB0;

// Blobs of an older layout are at least this long and begin with the bytes 1, 0.
constexpr std::uint32_t kOlderLayoutMinSize = 128;

// A label count this large cannot be a label; the blob is damaged.
constexpr std::uint32_t kMaxLabelBytes = 0x100000;

std::size_t Index(std::size_t row, std::size_t column)
{
    return row * CStdMixerController::kSize + column;
}

// Gains from a blob or a caller are kept to what the panel can show and the amplifier can
// take; a gain that is not a number counts as 0 dB.
float SanitizeGain(float gain)
{
    if (std::isnan(gain)) {
        return 0.0f;
    }
    return std::fmin(std::fmax(gain, CStdMixerController::kMinGainDb), CStdMixerController::kMaxGainDb);
}

std::u16string DefaultLabel(const char16_t* prefix, std::size_t index)
{
    return std::u16string(prefix) + static_cast<char16_t>(u'1' + index);
}

bool WriteLabel(ParamBlobWriter& writer, const std::u16string& label)
{
    const std::string bytes = platform::Utf16ToCp1252(label);
    if (bytes.size() > kMaxLabelBytes) {
        return false;
    }
    return writer.WriteU32(static_cast<std::uint32_t>(bytes.size())) &&
           writer.WriteBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::uint32_t>(bytes.size()));
}

bool ReadLabel(ParamChunk& chunk, std::u16string& label)
{
    std::uint32_t count = 0;
    if (!chunk.ReadU32(count) || count >= kMaxLabelBytes || count > chunk.Remaining()) {
        return false;
    }
    std::string bytes(count, '\0');
    if (count != 0 && !chunk.ReadBytes(reinterpret_cast<std::uint8_t*>(bytes.data()), count)) {
        return false;
    }
    label = platform::Cp1252ToUtf16(bytes);
    return true;
}

}  // namespace

CStdMixerController::CStdMixerController(DiagramBlock& block)
    : activeChannels_(block.outputCount > 0 ? static_cast<std::uint32_t>(block.outputCount) : 0u),
      block_(block),
      state_(Defaults())
{
}

CStdMixerController::~CStdMixerController() = default;

CStdMixerController::State CStdMixerController::Defaults()
{
    State state;
    for (std::size_t i = 0; i < kSize; ++i) {
        state.inputLabels[i] = DefaultLabel(u"In ", i);
        state.outputLabels[i] = DefaultLabel(u"Out ", i);
        state.crossPoints[Index(i, i)].on = 1;
    }
    return state;
}

std::vector<std::uint8_t> CStdMixerController::EncodeParams(
    const std::array<CrossPoint, kSize * kSize>& crossPoints, const std::array<std::u16string, kSize>& inputLabels,
    const std::array<std::u16string, kSize>& outputLabels)
{
    ParamBlobWriter writer(kParamBufferSize);
    bool ok = writer.Open(kTagCrossPoints) && writer.WriteU8(kSize) && writer.WriteU8(kSize);
    for (std::size_t column = 0; ok && column < kSize; ++column) {
        std::uint32_t mask = 0;
        for (std::size_t row = 0; ok && row < kSize; ++row) {
            const CrossPoint& point = crossPoints[Index(row, column)];
            ok = writer.WriteF32(point.gain);
            if (point.on != 0) {
                mask |= 1u << row;
            }
        }
        ok = ok && writer.WriteU32(mask);
    }
    ok = ok && writer.Close() && writer.Open(kTagLabels);
    for (std::size_t i = 0; ok && i < kSize; ++i) {
        ok = WriteLabel(writer, inputLabels[i]);
    }
    for (std::size_t i = 0; ok && i < kSize; ++i) {
        ok = WriteLabel(writer, outputLabels[i]);
    }
    ok = ok && writer.Close();
    if (!ok) {
        return {};
    }
    return writer.Finish().value_or(std::vector<std::uint8_t>{});
}

bool CStdMixerController::Decode(const std::uint8_t* data, std::uint32_t size, State& state)
{
    return ReadParamBlob(data, size, [&state](ParamChunk& chunk) {
        switch (chunk.Tag()) {
        case kTagCrossPoints: {
            std::uint8_t rows = 0;
            std::uint8_t columns = 0;
            if (!chunk.ReadU8(rows) || !chunk.ReadU8(columns)) {
                return false;
            }
            for (std::size_t column = 0; column < columns; ++column) {
                for (std::size_t row = 0; row < rows; ++row) {
                    float gain = 0.0f;
                    if (!chunk.ReadF32(gain)) {
                        return false;
                    }
                    if (row < kSize && column < kSize) {
                        state.crossPoints[Index(row, column)].gain = SanitizeGain(gain);
                    }
                }
                std::uint32_t mask = 0;
                if (!chunk.ReadU32(mask)) {
                    return false;
                }
                for (std::size_t row = 0; row < rows && row < kSize && column < kSize; ++row) {
                    // Bits beyond the mask's width cannot be set.
                    state.crossPoints[Index(row, column)].on = row < 32 && ((mask >> row) & 1u) != 0 ? 1 : 0;
                }
            }
            return true;
        }
        case kTagLabels:
            for (std::u16string& label : state.inputLabels) {
                if (!ReadLabel(chunk, label)) {
                    return false;
                }
            }
            for (std::u16string& label : state.outputLabels) {
                if (!ReadLabel(chunk, label)) {
                    return false;
                }
            }
            return true;
        case kTagOlderColumn: {
            std::uint8_t column = 0;
            if (!chunk.ReadU8(column)) {
                return false;
            }
            if (column >= kSize) {
                return true;
            }
            std::uint32_t mask = 0;
            if (!chunk.ReadU32(mask)) {
                return false;
            }
            for (std::size_t row = 0; row < kSize; ++row) {
                CrossPoint& point = state.crossPoints[Index(row, column)];
                point.on = ((mask >> row) & 1u) != 0 ? 1 : 0;
                point.gain = 0.0f;
            }
            return true;
        }
        default:
            return true;
        }
    });
}

std::vector<std::uint8_t> CStdMixerController::BuildCoefficientBlob() const
{
    // Gains in dB: the device library turns them into linear amplitudes, so the off value
    // -200 dB is sent as it is rather than checked as a fixed-point coefficient.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kCoefficientBlobSize);
    for (std::size_t column = 0; column < kSize; ++column) {
        for (std::size_t row = 0; row < kSize; ++row) {
            const CrossPoint& point = state_.crossPoints[Index(row, column)];
            const double gain = point.on != 0 ? static_cast<double>(point.gain) : kOffGainDb;
            AppendLittleEndian64(bytes, std::bit_cast<std::uint64_t>(gain));
        }
    }
    return bytes;
}

bool CStdMixerController::Commit()
{
    const std::vector<std::uint8_t> params = EncodeParams(state_.crossPoints, state_.inputLabels, state_.outputLabels);
    if (params.empty()) {
        return false;
    }
    block_.SetBlockBlobs(BuildCoefficientBlob(), params);
    return true;
}

bool CStdMixerController::Load()
{
    state_ = Defaults();
    const std::uint8_t* data = nullptr;
    const std::uint32_t size = block_.GetParamBlob(data);
    const bool olderLayout = size >= kOlderLayoutMinSize && data[0] == 1 && data[1] == 0;
    if (size != 0 && !olderLayout && !Decode(data, size, state_)) {
        return false;
    }
    return Commit();
}

bool CStdMixerController::ApplyBlob(std::int32_t /*channel*/, const std::uint8_t* /*data*/, std::uint32_t /*size*/)
{
    // Pasting onto a mixer changes nothing: its routing belongs to the installation.
    return true;
}

const CrossPoint& CStdMixerController::GetCrossPoint(std::size_t row, std::size_t column) const
{
    if (row >= kSize || column >= kSize) {
        return state_.crossPoints[0];
    }
    return state_.crossPoints[Index(row, column)];
}

bool CStdMixerController::SetCrossPoint(std::size_t row, std::size_t column, CrossPoint crossPoint)
{
    if (row >= kSize || column >= kSize) {
        return false;
    }
    CrossPoint& point = state_.crossPoints[Index(row, column)];
    const CrossPoint previous = point;
    point.on = crossPoint.on != 0 ? 1 : 0;
    point.gain = SanitizeGain(crossPoint.gain);
    if (!Commit()) {
        point = previous;
        return false;
    }
    return true;
}

const std::u16string& CStdMixerController::GetLabel(bool isOutput, std::size_t index) const
{
    static const std::u16string empty;
    if (index >= kSize) {
        return empty;
    }
    return isOutput ? state_.outputLabels[index] : state_.inputLabels[index];
}

bool CStdMixerController::SetLabel(bool isOutput, std::size_t index, const char16_t* text)
{
    if (index >= kSize) {
        return false;
    }
    std::u16string& label = isOutput ? state_.outputLabels[index] : state_.inputLabels[index];
    std::u16string previous = label;
    label = text != nullptr ? std::u16string(text) : std::u16string();
    if (!Commit()) {
        // The blob on the block still holds the previous label; so does the controller.
        label = std::move(previous);
        return false;
    }
    return true;
}

bool CStdMixerController::SetModel(ModelType model)
{
    model_ = model;
    return false;
}

bool CStdMixerController::ApplyChannelConfig(ChannelConfig config)
{
    statusFlag_ = config.bit16;
    return false;
}

IBlockPanel* CStdMixerController::OpenDialog(IPanelHost& parent)
{
    return panel_.Open(parent, PanelKind::StdMixer, *this, &block_.name);
}

bool CStdMixerController::CloseDialog()
{
    return panel_.Close();
}

void CStdMixerController::OnPanelDestroyed(IBlockPanel* panel)
{
    panel_.Forget(panel);
}
