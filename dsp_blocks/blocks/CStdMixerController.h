// Controller of one 4 x 4 matrix-mixer block: sixteen cross points, each on or off with a
// gain in dB, and eight user labels. The amplifier receives the sixteen effective gains.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/blocks/PanelSlot.h"

class DiagramBlock;

struct CrossPoint {
    std::uint8_t on = 0;  // 0 or 1
    float gain = 0.0f;    // dB

    friend bool operator==(const CrossPoint&, const CrossPoint&) = default;
};

class CStdMixerController final : public CController {
public:
    static constexpr std::size_t kSize = 4;  // rows (inputs) and columns (outputs)
    static constexpr std::uint32_t kParamBufferSize = 512;
    static constexpr std::uint32_t kCoefficientBlobSize = 128;
    // The gain sent for a cross point that is off.
    static constexpr double kOffGainDb = -200.0;
    // Gains a cross point may carry: the panel's slider range.
    static constexpr float kMinGainDb = -12.0f;
    static constexpr float kMaxGainDb = 12.0f;

    explicit CStdMixerController(DiagramBlock& block);
    ~CStdMixerController() override;

    bool Load() override;
    bool ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;
    IBlockPanel* OpenDialog(IPanelHost& parent) override;
    bool CloseDialog() override;
    bool Commit() override;
    bool SetModel(ModelType model) override;
    bool ApplyChannelConfig(ChannelConfig config) override;
    void OnPanelDestroyed(IBlockPanel* panel) override;

    // Cross points whose row and column are below this count are offered by the panel.
    std::uint32_t GetActiveChannelCount() const { return activeChannels_; }
    // row and column 0 to 3 (others give the (0, 0) cross point).
    const CrossPoint& GetCrossPoint(std::size_t row, std::size_t column) const;
    // Stores the cross point (gain brought into range) and commits; false for an index
    // outside the grid or a failed commit, which keeps the previous cross point.
    bool SetCrossPoint(std::size_t row, std::size_t column, CrossPoint crossPoint);
    // index 0 to 3; empty for others.
    const std::u16string& GetLabel(bool isOutput, std::size_t index) const;
    // Stores the label (null: empty) and commits; false for an index outside 0 to 3 or a
    // failed commit (a label too long for the blob), which keeps the previous label.
    bool SetLabel(bool isOutput, std::size_t index, const char16_t* text);

    ModelType GetModel() const { return model_; }
    std::uint8_t GetStatusFlag() const { return statusFlag_; }

    // The parameter blob of the given state; empty when it does not fit the buffer.
    static std::vector<std::uint8_t> EncodeParams(const std::array<CrossPoint, kSize * kSize>& crossPoints,
                                                  const std::array<std::u16string, kSize>& inputLabels,
                                                  const std::array<std::u16string, kSize>& outputLabels);

private:
    struct State {
        std::array<std::u16string, kSize> inputLabels;
        std::array<std::u16string, kSize> outputLabels;
        std::array<CrossPoint, kSize * kSize> crossPoints{};
    };
    static State Defaults();
    static bool Decode(const std::uint8_t* data, std::uint32_t size, State& state);
    std::vector<std::uint8_t> BuildCoefficientBlob() const;

    std::uint32_t activeChannels_;
    DiagramBlock& block_;
    PanelSlot panel_;
    State state_;
    ModelType model_ = ModelType::Unknown;
    std::uint8_t statusFlag_ = 0;
};
