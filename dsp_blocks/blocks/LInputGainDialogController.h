// Controller of the input-gain group. The blocks have no settings: each keeps the
// one-byte placeholder 0 as coefficient and parameter blob.
#pragma once

#include <cstdint>
#include <vector>

#include "dsp_blocks/blocks/DControlController.h"

class DiagramBlock;

class LInputGainDialogController final : public DControlController {
public:
    explicit LInputGainDialogController(const std::vector<DiagramBlock*>& blocks);

    bool Load() override;
    bool ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;
    IBlockPanel* OpenDialog(IPanelHost& parent) override;
    bool Commit() override;
    bool SetModel(ModelType model) override;
    bool ApplyChannelConfig(ChannelConfig config) override;

    std::size_t GetCount() const { return blocks_.size(); }

private:
    std::vector<DiagramBlock*> blocks_;  // not owned
};
