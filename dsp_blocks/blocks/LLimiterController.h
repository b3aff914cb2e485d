// Controller of one limiter block: a peak and an RMS limiter, each with a threshold in
// volts and attack and release times in ms. Thresholds stay within limits set by the
// channel's output mode and the amplifier model; the six values become six coefficients.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/blocks/PanelSlot.h"
#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/speaker_eq/SpeakerEqPreset.h"

class DiagramBlock;

// A speaker preset carries the same six values, so the limiter takes them as they stand.
using LimiterSettings = speaker_eq::SpeakerEqLimiter;

class LLimiterController final : public CController {
public:
    // The parameter blob must fit the limiter's 128-byte area of the amplifier's
    // parameter image; a longer blob would never reach the amplifier.
    static constexpr std::uint32_t kParamBufferSize = 128;
    static constexpr std::uint32_t kCoefficientBlobSize = 48;
    static constexpr std::uint32_t kDefaultChannelMode = 1;
    // Full scale of the output stage in volts: thresholds are sent relative to it.
    static constexpr float kFullScaleVolts = 153.68752f;
    // Values a threshold or time may take; anything else in a blob or from a caller is
    // brought into these (a value that is not a number takes the default).
    static constexpr float kMinThreshold = ParamRange::kMinLimiterThreshold;
    static constexpr float kMaxThreshold = ParamRange::kMaxLimiterThreshold;
    static constexpr float kMinTimeMs = ParamRange::kMinLimiterTimeMs;
    static constexpr float kMaxTimeMs = ParamRange::kMaxLimiterTimeMs;

    explicit LLimiterController(DiagramBlock& block);
    ~LLimiterController() override;

    bool Load() override;
    bool ApplyBlob(std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;
    IBlockPanel* OpenDialog(IPanelHost& parent) override;
    bool CloseDialog() override;
    bool Commit() override;
    bool SetModel(ModelType model) override;
    bool ApplyChannelConfig(ChannelConfig config) override;
    void OnPanelDestroyed(IBlockPanel* panel) override;

    // The threshold limits in out (the four times: the defaults in channel modes 3 and 4,
    // the ceiling's times otherwise); false for a model outside 0 to 5, whose limits in
    // the other modes are the ceiling unchanged.
    bool GetLimits(LimiterSettings& out) const;
    std::int32_t GetChannel() const;
    std::uint32_t GetChannelMode() const { return channelMode_; }
    ModelType GetModel() const { return model_; }
    const LimiterSettings& GetSettings() const { return current_; }
    const LimiterSettings& GetCeiling() const { return ceiling_; }
    const std::u16string& GetPresetName() const { return presetName_; }

    // Replaces the six values (brought into range) and commits; a failed commit keeps
    // the previous values.
    bool SetSettings(const LimiterSettings& values);

    // Takes a speaker preset's name (null: empty) and limiter values (null: defaults) as
    // the ceiling; with adjust, moves both thresholds to the resulting limits.
    bool ApplySpeakerPreset(const char16_t* name, const LimiterSettings* values, bool adjust);

    // The six coefficients of the given values, as sent to the amplifier (48 bytes).
    static std::vector<std::uint8_t> BuildCoefficientBlob(const LimiterSettings& values);
    // c(t) = 1 - e^(-1 / (t x 48000 / 1000)), in the precision the amplifier expects.
    static float TimeCoefficient(float milliseconds);
    // ln(threshold / full scale) in single precision.
    static float ThresholdCoefficient(float volts);
    // The parameter blob; empty when it does not fit the buffer.
    static std::vector<std::uint8_t> EncodeParams(const LimiterSettings& values, const std::u16string& presetName);

private:
    static LimiterSettings Sanitize(const LimiterSettings& values);
    void TakeDefaults();
    void RefreshPanel(bool valuesChanged);
    // Lowers (clamp) or sets (set) the thresholds to the limits; true when one changed.
    bool MoveThresholds(bool setExactly);

    LimiterSettings current_;
    LimiterSettings ceiling_;
    DiagramBlock& block_;
    PanelSlot panel_;
    std::u16string presetName_;
    std::uint32_t channelMode_ = kDefaultChannelMode;
    ModelType model_ = ModelType::Unknown;
};
