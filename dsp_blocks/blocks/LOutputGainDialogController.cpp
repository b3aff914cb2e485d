// Output-gain group: polarity byte in the parameter blob, inverted flag as coefficient.
#include "dsp_blocks/blocks/LOutputGainDialogController.h"

#include <array>

#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/ParamBlob.h"

namespace {

constexpr std::uint8_t kTagPolarity = 0x90;

// Blobs of an older layout are at least this long and begin with a zero byte.
constexpr std::uint32_t kOlderLayoutMinSize = 128;

}  // namespace

LOutputGainDialogController::LOutputGainDialogController(const std::vector<DiagramBlock*>& blocks)
{
    entries_.reserve(blocks.size());
    for (DiagramBlock* block : blocks) {
        entries_.push_back(OutputPolarityEntry{block, 0});
    }
}

std::vector<std::uint8_t> LOutputGainDialogController::EncodeParams(std::uint8_t polarity)
{
    ParamBlobWriter writer(kParamBufferSize);
    if (!(writer.Open(kTagPolarity) && writer.WriteU8(polarity) && writer.Close())) {
        return {};
    }
    return writer.Finish().value_or(std::vector<std::uint8_t>{});
}

bool LOutputGainDialogController::DecodeParams(const std::uint8_t* data, std::uint32_t size,
                                               std::uint8_t& polarity)
{
    return ReadParamBlob(data, size, [&polarity](ParamChunk& chunk) {
        if (chunk.Tag() == kTagPolarity) {
            return chunk.ReadU8(polarity);
        }
        return true;
    });
}

bool LOutputGainDialogController::GetPolarity(std::size_t index, std::uint8_t& out) const
{
    if (index >= entries_.size()) {
        return false;
    }
    out = entries_[index].polarity;
    return true;
}

bool LOutputGainDialogController::CommitEntry(std::size_t index)
{
    if (index >= entries_.size() || entries_[index].block == nullptr) {
        return false;
    }
    OutputPolarityEntry& entry = entries_[index];
    // The amplifier only knows normal or inverted; the stored byte is kept as it was.
    const std::array<std::uint8_t, 1> coefficient = {static_cast<std::uint8_t>(entry.polarity != 0 ? 1 : 0)};
    const std::vector<std::uint8_t> params = EncodeParams(entry.polarity);
    if (params.empty()) {
        return false;
    }
    entry.block->SetBlockBlobs(coefficient, params);
    entry.block->polarityMark = entry.polarity;
    return true;
}

bool LOutputGainDialogController::Load()
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        OutputPolarityEntry& entry = entries_[i];
        if (entry.block == nullptr) {
            return false;
        }
        entry.polarity = 0;
        const std::uint8_t* data = nullptr;
        const std::uint32_t size = entry.block->GetParamBlob(data);
        if (size != 0 && (size < kOlderLayoutMinSize || data[0] != 0)) {
            std::uint8_t polarity = 0;
            if (!DecodeParams(data, size, polarity)) {
                return false;
            }
            entry.polarity = polarity;
        }
        if (!CommitEntry(i)) {
            return false;
        }
    }
    return true;
}

bool LOutputGainDialogController::Commit()
{
    bool all = true;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        all = CommitEntry(i) && all;
    }
    return all;
}

bool LOutputGainDialogController::ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size)
{
    // The entry is found by channel alone: a channel outside the group pastes nothing.
    if (!IsEntryIndex(channel, entries_.size())) {
        return false;
    }
    const auto index = static_cast<std::size_t>(channel);
    std::uint8_t polarity = entries_[index].polarity;
    if (!DecodeParams(data, size, polarity)) {
        return false;
    }
    entries_[index].polarity = polarity;
    const bool committed = CommitEntry(index);
    if (IBlockPanel* panel = OpenPanelWindow()) {
        panel->RefreshRow(index);
    }
    return committed;
}

bool LOutputGainDialogController::SetPolarity(std::size_t index, std::uint8_t value)
{
    if (index >= entries_.size()) {
        return false;
    }
    entries_[index].polarity = value;
    return CommitEntry(index);
}

IBlockPanel* LOutputGainDialogController::OpenDialog(IPanelHost& parent)
{
    return OpenPanel(parent, PanelKind::OutputPolarity);
}

bool LOutputGainDialogController::SetModel(ModelType /*model*/)
{
    return false;
}

bool LOutputGainDialogController::ApplyChannelConfig(ChannelConfig /*config*/)
{
    return false;
}
