// Controller of one input-EQ block: nine bands (peaking, shelves, notch), one designed
// section each, sent as 45 coefficients; bands, editing mode and width unit in the
// parameter blob.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/blocks/PanelSlot.h"
#include "dsp_blocks/filters/BiquadCoefficients.h"

class DiagramBlock;

struct EqBand {
    std::uint32_t type = 0;  // 0 peaking, 1 high shelf, 2 low shelf, 3 notch
    float frequency = 0.0f;  // Hz
    float q = 0.0f;
    float gain = 0.0f;       // dB

    friend bool operator==(const EqBand&, const EqBand&) = default;
};

// The parametric controllers; adds nothing to CController.
class CParametricController : public CController {};

class LInputEQController final : public CParametricController {
public:
    static constexpr std::size_t kBandCount = 9;
    static constexpr std::uint32_t kDefaultEqMode = 1;
    static constexpr std::uint32_t kDefaultWidthIsQ = 1;
    static constexpr std::uint32_t kParamBufferSize = 256;
    static constexpr std::uint32_t kCoefficientBlobSize = 360;
    // The nine default bands: octaves from 63 Hz, peaking at 0 dB with Q sqrt(2).
    static std::array<EqBand, kBandCount> DefaultBands();

    explicit LInputEQController(DiagramBlock& block);
    ~LInputEQController() override;

    bool Load() override;
    bool ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;
    IBlockPanel* OpenDialog(IPanelHost& parent) override;
    bool CloseDialog() override;
    bool Commit() override;
    bool SetModel(ModelType model) override;
    bool ApplyChannelConfig(ChannelConfig config) override;
    void OnPanelDestroyed(IBlockPanel* panel) override;

    // Pointer to the nine bands / sections in out; both return 9.
    std::size_t GetBands(const EqBand*& out) const;
    std::size_t GetSections(const BiquadCoefficients*& out) const;
    std::uint32_t GetEqMode() const { return params_.eqMode; }
    std::uint32_t GetWidthIsQ() const { return params_.widthIsQ; }
    std::int32_t GetChannel() const;

    // Stores band index (false for an index of 9 or more); with designOnly only the
    // sections are redesigned for drawing, nothing is stored on the block or sent.
    bool SetBand(std::size_t index, const EqBand& band, bool designOnly);
    bool SetEqMode(std::uint32_t mode);
    bool SetWidthIsQ(std::uint32_t flag);
    // Restores the default bands, has an open panel reload, commits.
    bool ResetBands();

    struct Params {
        std::uint32_t eqMode = kDefaultEqMode;
        std::uint32_t widthIsQ = kDefaultWidthIsQ;
        std::array<EqBand, kBandCount> bands = DefaultBands();
    };
    // The parameter blob of a parameter set (220 bytes); empty when encoding fails.
    static std::vector<std::uint8_t> EncodeParams(const Params& params);

private:
    static bool DecodeParams(const std::uint8_t* data, std::uint32_t size, Params& params);
    static Params Sanitize(Params params);
    static EqBand SanitizeBand(EqBand band, const EqBand& fallback);
    void Design();

    Params params_;
    std::array<BiquadCoefficients, kBandCount> sections_{};
    DiagramBlock& block_;
    PanelSlot panel_;
};
