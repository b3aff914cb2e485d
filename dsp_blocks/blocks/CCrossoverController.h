// Controller of one crossover block: a high-pass and a low-pass filter from the
// crossover filter-type table, two designed sections each, sent as 20 coefficients.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/blocks/PanelSlot.h"
#include "dsp_blocks/filters/BiquadCoefficients.h"

class DiagramBlock;

struct CrossoverFilter {
    std::uint32_t type = 0;  // crossover filter-type code; 0 = Flat
    float frequency = 0.0f;  // Hz

    friend bool operator==(const CrossoverFilter&, const CrossoverFilter&) = default;
};

// The high-pass then the low-pass filter, as the speaker-EQ controller hands them over.
struct CrossoverFilterPair {
    CrossoverFilter highPass;
    CrossoverFilter lowPass;
};

class CCrossoverController final : public CController {
public:
    static constexpr CrossoverFilter kDefaultHighPass{0, 20.0f};
    static constexpr CrossoverFilter kDefaultLowPass{0, 20000.0f};
    static constexpr std::uint32_t kDefaultChannelMode = 1;
    // Size of the buffer the parameter blob is encoded into.
    static constexpr std::uint32_t kParamBufferSize = 256;
    static constexpr std::uint32_t kCoefficientBlobSize = 160;
    static constexpr std::size_t kSectionCount = 8;  // four per filter, two designed

    explicit CCrossoverController(DiagramBlock& block);
    ~CCrossoverController() override;

    bool Load() override;
    bool ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;
    IBlockPanel* OpenDialog(IPanelHost& parent) override;
    bool CloseDialog() override;
    bool Commit() override;
    bool SetModel(ModelType model) override;
    bool ApplyChannelConfig(ChannelConfig config) override;
    void OnPanelDestroyed(IBlockPanel* panel) override;

    // The block's channel; the panel shows the impedance mode for channels 0 to 3.
    std::int32_t GetChannel() const;
    std::uint32_t GetChannelMode() const { return channelMode_; }
    const CrossoverFilter& GetHighPass() const { return highPass_; }
    const CrossoverFilter& GetLowPass() const { return lowPass_; }
    // The eight sections: four of the high-pass, then four of the low-pass.
    std::span<const BiquadCoefficients, kSectionCount> GetSections() const { return sections_; }
    // Lowest frequency the high-pass may take in the present channel mode.
    float GetMinimumFrequency() const;

    // Both filters at once (null: the defaults); recomputes and commits.
    bool SetFilters(const CrossoverFilterPair* pair);
    // which 0: high-pass, 1: low-pass, other: neither. With redesignOnly the sections are
    // redesigned for drawing and nothing is stored or sent.
    bool SetFilter(std::int32_t which, CrossoverFilter filter, bool redesignOnly);

    // The parameter blob of a filter pair (26 bytes); empty when encoding fails.
    static std::vector<std::uint8_t> EncodeParams(const CrossoverFilter& highPass,
                                                  const CrossoverFilter& lowPass);

private:
    // Reads the filters found in data over pair; false when the blob does not decode.
    static bool DecodeParams(const std::uint8_t* data, std::uint32_t size, CrossoverFilterPair& pair);
    // Unknown type codes become Flat; the frequency goes into [minimum, 20 kHz].
    static CrossoverFilter Sanitize(CrossoverFilter filter, const CrossoverFilter& fallback, float minimum);
    // The high-pass into the range of the channel mode, the low-pass into the panel's range.
    CrossoverFilter SanitizeHighPass(const CrossoverFilter& filter) const;
    static CrossoverFilter SanitizeLowPass(const CrossoverFilter& filter);
    void Recompute();
    std::vector<std::uint8_t> BuildCoefficientBlob(bool& ok) const;

    CrossoverFilter highPass_ = kDefaultHighPass;
    CrossoverFilter lowPass_ = kDefaultLowPass;
    std::array<BiquadCoefficients, kSectionCount> sections_{};
    DiagramBlock& block_;
    PanelSlot panel_;
    std::uint32_t channelMode_ = kDefaultChannelMode;
};
