// The panel of the output-gain group: one polarity button per amplifier output, "P(+)" for
// normal and "P(-)" for inverted polarity. The block diagram shows the polarity too, so
// every change redraws it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "dsp_blocks/ui/DBlockPanel.h"

class LOutputGainDialogController;

class LOutputGain final : public DBlockPanel {
    Q_OBJECT

public:
    static constexpr std::size_t kMaxOutputs = 4;
    static constexpr char kNormalText[] = "P(+)";
    static constexpr char kInvertedText[] = "P(-)";
    static constexpr platform::ColorRef kNormalEdge = 0x80FF80;
    static constexpr platform::ColorRef kNormalCentre = 0x60C060;
    static constexpr platform::ColorRef kNormalTextColour = 0x000000;
    static constexpr platform::ColorRef kInvertedEdge = 0x0040FF;
    static constexpr platform::ColorRef kInvertedCentre = 0x0040C0;
    static constexpr platform::ColorRef kInvertedTextColour = 0xFFFFFF;

    LOutputGain(IPanelSite& site, LOutputGainDialogController& controller);
    ~LOutputGain() override;

    // Output index takes the controller's polarity again (after a paste) and is redrawn;
    // an output the panel does not show is ignored.
    void RefreshOutput(std::size_t index);
    void RefreshRow(std::size_t index) override { RefreshOutput(index); }
    void Refresh() override;
    void UpdateChannelMode() override {}

    void OnCommand(std::int32_t id) override;
    void OnDrawItem(std::int32_t id, QPainter& painter, const platform::DrawItemState& state) override;

    // The outputs shown (the controller's count, at most four).
    std::size_t OutputCount() const { return count_; }
    bool IsInverted(std::size_t index) const { return index < kMaxOutputs && inverted_[index] != 0; }

protected:
    bool OnInitDialog() override;

private:
    // The output of a polarity button id, or kMaxOutputs.
    static std::size_t OutputOf(std::int32_t id);
    void ReadPolarity(std::size_t index);

    LOutputGainDialogController& controller_;
    std::array<std::uint8_t, kMaxOutputs> inverted_{};
    std::size_t count_;
};
