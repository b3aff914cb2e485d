// Delay group: per-block delay in samples at 48 kHz, unit and delay in each block's blob.
#include "dsp_blocks/blocks/LDelayDialogController.h"

#include <optional>

#include "dsp_blocks/blocks/CoefficientBlob.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/ParamBlob.h"
#include "dsp_blocks/blocks/ParamRanges.h"

namespace {

constexpr std::uint8_t kTagUnit = 0x90;
constexpr std::uint8_t kTagDelay = 0x91;

// Blobs of an older layout are at least this long and begin with a zero byte.
constexpr std::uint32_t kOlderLayoutMinSize = 128;

constexpr float kSamplesPerMillisecond = 48.0f;

}  // namespace

LDelayDialogController::LDelayDialogController(const std::vector<DiagramBlock*>& blocks)
{
    entries_.reserve(blocks.size());
    for (DiagramBlock* block : blocks) {
        entries_.push_back(DelayEntry{block, 0.0f});
    }
}

std::int32_t LDelayDialogController::DelayToSamples(float milliseconds)
{
    // Single-precision product, truncated: 10.5 ms is exactly 504 samples.
    const float samples = milliseconds * kSamplesPerMillisecond;
    return static_cast<std::int32_t>(samples);
}

float LDelayDialogController::SanitizeDelay(float delay)
{
    return ParamRange::Clamp(delay, ParamRange::kMinDelayMs, ParamRange::kMaxDelayMs, 0.0f);
}

std::uint32_t LDelayDialogController::SanitizeUnit(std::uint32_t unit)
{
    return unit <= kUnitFeet ? unit : kUnitMilliseconds;
}

std::vector<std::uint8_t> LDelayDialogController::EncodeParams(std::uint32_t unit, float delay)
{
    ParamBlobWriter writer(kParamBufferSize);
    if (!(writer.Open(kTagUnit) && writer.WriteU8(static_cast<std::uint8_t>(unit)) && writer.Close() &&
          writer.Open(kTagDelay) && writer.WriteF32(delay) && writer.Close())) {
        return {};
    }
    return writer.Finish().value_or(std::vector<std::uint8_t>{});
}

bool LDelayDialogController::DecodeParams(const std::uint8_t* data, std::uint32_t size, Decoded& decoded)
{
    return ReadParamBlob(data, size, [&decoded](ParamChunk& chunk) {
        if (chunk.Tag() == kTagUnit) {
            std::uint8_t unit = 0;
            if (!chunk.ReadU8(unit)) {
                return false;
            }
            decoded.unit = unit;
            decoded.unitSeen = true;
            return true;
        }
        if (chunk.Tag() == kTagDelay) {
            return chunk.ReadF32(decoded.delay);
        }
        return true;
    });
}

float LDelayDialogController::GetDelay(std::size_t index) const
{
    return index < entries_.size() ? entries_[index].delay : 0.0f;
}

bool LDelayDialogController::CommitEntry(std::size_t index)
{
    if (index >= entries_.size() || entries_[index].block == nullptr) {
        return false;
    }
    DelayEntry& entry = entries_[index];
    std::vector<std::uint8_t> coefficients;
    AppendLittleEndian32(coefficients, static_cast<std::uint32_t>(DelayToSamples(entry.delay)));
    const std::vector<std::uint8_t> params = EncodeParams(unit_, entry.delay);
    if (params.empty()) {
        return false;
    }
    entry.block->SetBlockBlobs(coefficients, params);
    return true;
}

bool LDelayDialogController::Load()
{
    // Every block is read before any is written back: the group's unit is only known once
    // all of them have had their say, and each block must then be written with it.
    std::size_t loaded = 0;
    bool decodedAll = true;
    std::optional<std::uint32_t> chosenUnit;
    for (DelayEntry& entry : entries_) {
        entry.delay = 0.0f;
    }
    for (; loaded < entries_.size(); ++loaded) {
        DelayEntry& entry = entries_[loaded];
        if (entry.block == nullptr) {
            decodedAll = false;
            break;
        }
        const std::uint8_t* data = nullptr;
        const std::uint32_t size = entry.block->GetParamBlob(data);
        const bool olderLayout = size >= kOlderLayoutMinSize && data[0] == 0;
        if (size == 0 || olderLayout) {
            continue;
        }
        Decoded decoded;
        if (!DecodeParams(data, size, decoded)) {
            decodedAll = false;
            break;
        }
        entry.delay = SanitizeDelay(decoded.delay);
        // Blocks that disagree come from a design saved while a unit change reached only
        // the blocks edited after it. Milliseconds is what a block holds until the user
        // picks another unit, so a block holding another one carries that choice; the first
        // such block in channel order decides, whatever the size of the group.
        const std::uint32_t unit = SanitizeUnit(decoded.unit);
        if (decoded.unitSeen && unit != kUnitMilliseconds && !chosenUnit) {
            chosenUnit = unit;
        }
    }
    unit_ = chosenUnit.value_or(kUnitMilliseconds);
    for (std::size_t i = 0; i < loaded; ++i) {
        if (!CommitEntry(i)) {
            return false;
        }
    }
    return decodedAll;
}

bool LDelayDialogController::Commit()
{
    bool all = true;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        all = CommitEntry(i) && all;
    }
    return all;
}

bool LDelayDialogController::ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size)
{
    // The entry is found by channel alone: a channel outside the group pastes nothing.
    if (!IsEntryIndex(channel, entries_.size())) {
        return false;
    }
    const auto index = static_cast<std::size_t>(channel);
    // Decoded whole over the present values before any of it is applied.
    Decoded decoded{unit_, false, entries_[index].delay};
    if (!DecodeParams(data, size, decoded)) {
        return false;
    }
    entries_[index].delay = SanitizeDelay(decoded.delay);
    const std::uint32_t unit = decoded.unitSeen ? SanitizeUnit(decoded.unit) : unit_;
    bool committed = false;
    if (unit != unit_) {
        // The pasted unit becomes the group's, so every block is written with it.
        unit_ = unit;
        committed = Commit();
    } else {
        committed = CommitEntry(index);
    }
    if (IBlockPanel* panel = OpenPanelWindow()) {
        panel->RefreshRow(index);
    }
    return committed;
}

bool LDelayDialogController::SetDelay(std::size_t index, float value, bool deferCommit)
{
    if (index >= entries_.size()) {
        return false;
    }
    entries_[index].delay = SanitizeDelay(value);
    if (deferCommit) {
        return true;
    }
    return CommitEntry(index);
}

void LDelayDialogController::SetUnit(std::uint32_t unit)
{
    unit_ = SanitizeUnit(unit);
}

bool LDelayDialogController::ChangeUnit(std::uint32_t unit)
{
    SetUnit(unit);
    return Commit();
}

IBlockPanel* LDelayDialogController::OpenDialog(IPanelHost& parent)
{
    return OpenPanel(parent, PanelKind::Delay);
}

bool LDelayDialogController::SetModel(ModelType /*model*/)
{
    return false;
}

bool LDelayDialogController::ApplyChannelConfig(ChannelConfig /*config*/)
{
    return false;
}
