// Controller of the delay group: one delay time per delay block, one display unit for
// the whole group.
#pragma once

#include <cstdint>
#include <vector>

#include "dsp_blocks/blocks/DControlController.h"

class DiagramBlock;

struct DelayEntry {
    DiagramBlock* block = nullptr;  // not owned
    float delay = 0.0f;             // milliseconds
};

class LDelayDialogController final : public DControlController {
public:
    static constexpr std::uint32_t kParamBufferSize = 256;
    static constexpr std::uint32_t kUnitMilliseconds = 0;
    static constexpr std::uint32_t kUnitMetres = 1;
    static constexpr std::uint32_t kUnitFeet = 2;

    // blocks: the group's blocks in channel order.
    explicit LDelayDialogController(const std::vector<DiagramBlock*>& blocks);

    // Each block's delay from its blob; the group's unit is that of the first block in
    // channel order holding one other than milliseconds (milliseconds when none does), and
    // every block read is written back with it, so the group leaves in one unit.
    bool Load() override;
    bool ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;
    IBlockPanel* OpenDialog(IPanelHost& parent) override;
    bool Commit() override;
    bool SetModel(ModelType model) override;
    bool ApplyChannelConfig(ChannelConfig config) override;

    std::size_t GetCount() const { return entries_.size(); }
    // The delay of entry index in milliseconds (0 for an index past the end).
    float GetDelay(std::size_t index) const;
    std::uint32_t GetUnit() const { return unit_; }

    // Stores the delay of entry index (brought into 0 to 50 ms); with deferCommit nothing
    // is sent until a later commit. False for an index past the end.
    bool SetDelay(std::size_t index, float value, bool deferCommit);
    // Stores the group's unit; the next commit writes it into every block's blob.
    void SetUnit(std::uint32_t unit);
    // The user chose unit: stored and written into every block at once, so that a save,
    // an upload or a later open all find it; the result of the commit.
    bool ChangeUnit(std::uint32_t unit);

    // Stores one entry's blobs on its block.
    bool CommitEntry(std::size_t index);

    // Samples at 48 kHz for a delay in milliseconds, truncated toward zero.
    static std::int32_t DelayToSamples(float milliseconds);
    // The parameter blob of one delay block (13 bytes); empty when encoding fails.
    static std::vector<std::uint8_t> EncodeParams(std::uint32_t unit, float delay);

private:
    struct Decoded {
        std::uint32_t unit = 0;
        bool unitSeen = false;
        float delay = 0.0f;
    };
    static bool DecodeParams(const std::uint8_t* data, std::uint32_t size, Decoded& decoded);
    static float SanitizeDelay(float delay);
    static std::uint32_t SanitizeUnit(std::uint32_t unit);

    std::uint32_t unit_ = kUnitMilliseconds;
    std::vector<DelayEntry> entries_;
};
