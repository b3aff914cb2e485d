// Controller of the speaker-EQ group: per channel the user picks a speaker preset from
// the speaker-EQ library. The preset's nine equaliser sections become the block's
// coefficients; its crossover and limiter values go to the crossover and limiter
// controllers of the same channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dsp_blocks/blocks/DControlController.h"
#include "dsp_blocks/blocks/SpeakerEqChannel.h"

namespace speaker_eq {
class SpeakerEqPreset;
}

class LSpeakerEQDialogController final : public DControlController {
public:
    static constexpr std::uint32_t kParamBufferSize = 256;
    static constexpr std::uint32_t kCoefficientBlobSize = 360;

    // channels: one record per speaker-EQ block, in group order.
    explicit LSpeakerEQDialogController(std::vector<SpeakerEqChannel> channels);
    ~LSpeakerEQDialogController() override;

    bool Load() override;
    bool ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;
    IBlockPanel* OpenDialog(IPanelHost& parent) override;
    bool Commit() override;
    bool SetModel(ModelType model) override;
    bool ApplyChannelConfig(ChannelConfig config) override;

    std::size_t GetCount() const { return channels_.size(); }
    // The record's preset name; empty for an index past the end.
    const std::u16string& GetPresetName(std::size_t index) const;
    // Chooses a preset for one record (null: empty name): applies its crossover and
    // limiter values to the channel, then stores the record. False when either step
    // failed; the record then keeps the name it had.
    bool SetPreset(std::size_t index, const char16_t* name);

    // Sets the channel's crossover and limiter from the record's preset.
    bool ApplyPresetToChannel(const SpeakerEqChannel& record);
    // Names the preset on the block and stores both blobs on it.
    bool CommitChannel(SpeakerEqChannel& record);

    // The block's 45 coefficients for a preset (360 bytes); empty when a value cannot be
    // sent.
    static std::vector<std::uint8_t> BuildCoefficientBlob(const speaker_eq::SpeakerEqPreset& preset);
    // The parameter blob naming a preset; empty when the name does not fit.
    static std::vector<std::uint8_t> EncodeParams(const std::u16string& presetName);

private:
    static bool DecodeParams(const std::uint8_t* data, std::uint32_t size, std::u16string& presetName);

    std::vector<SpeakerEqChannel> channels_;
};
