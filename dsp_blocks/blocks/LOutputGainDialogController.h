// Controller of the output-gain group: one polarity switch per amplifier output.
#pragma once

#include <cstdint>
#include <vector>

#include "dsp_blocks/blocks/DControlController.h"

class DiagramBlock;

struct OutputPolarityEntry {
    DiagramBlock* block = nullptr;  // not owned
    std::uint8_t polarity = 0;      // 0 shows "P(+)", any other value "P(-)"
};

class LOutputGainDialogController final : public DControlController {
public:
    static constexpr std::uint32_t kParamBufferSize = 256;

    // blocks: the group's blocks; entry i is amplifier output i + 1.
    explicit LOutputGainDialogController(const std::vector<DiagramBlock*>& blocks);

    bool Load() override;
    bool ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;
    IBlockPanel* OpenDialog(IPanelHost& parent) override;
    bool Commit() override;
    bool SetModel(ModelType model) override;
    bool ApplyChannelConfig(ChannelConfig config) override;

    std::size_t GetCount() const { return entries_.size(); }
    // False for an index past the end; else the polarity in out.
    bool GetPolarity(std::size_t index, std::uint8_t& out) const;
    // Stores the polarity of entry index and commits that entry.
    bool SetPolarity(std::size_t index, std::uint8_t value);

    // Stores one entry's blobs on its block and shows the polarity on the block.
    bool CommitEntry(std::size_t index);

    // The parameter blob of one output (6 bytes); empty when encoding fails.
    static std::vector<std::uint8_t> EncodeParams(std::uint8_t polarity);

private:
    static bool DecodeParams(const std::uint8_t* data, std::uint32_t size, std::uint8_t& polarity);

    std::vector<OutputPolarityEntry> entries_;
};
