// One loudspeaker preset of the speaker-EQ library: a crossover, an equaliser of nine
// bands with an overall gain, and the limiter values tuned for one speaker model.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace speaker_eq {

inline constexpr std::size_t kBandCount = 9;
inline constexpr std::size_t kFurtherSectionCount = 4;

// A preset's name travels as Windows-1252 bytes in the limiter's parameter blob (after
// the six limiter values), which must fit the limiter's 128-byte area of the amplifier's
// parameter image: 27 bytes of values, a 3-byte chunk header, a 4-byte count and the
// 2-byte terminator leave this many bytes for the name.
inline constexpr std::size_t kMaxPresetNameBytes = 128 - 27 - 3 - 4 - 2;

// Crossover filter-type codes a preset may carry.
namespace CrossoverCode {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kButterworth6 = 1;
inline constexpr std::uint32_t kButterworth12 = 2;
inline constexpr std::uint32_t kButterworth18 = 3;
inline constexpr std::uint32_t kButterworth24 = 4;
inline constexpr std::uint32_t kLinkwitzRiley12 = 12;
inline constexpr std::uint32_t kLinkwitzRiley24 = 13;
}  // namespace CrossoverCode

// Band types of a preset: the codes DesignBiquad takes.
namespace BandType {
inline constexpr std::uint32_t kFlat = 0;
inline constexpr std::uint32_t kPeaking = 1;
inline constexpr std::uint32_t kHighShelf = 2;
inline constexpr std::uint32_t kLowShelf = 3;
}  // namespace BandType

struct SpeakerEqBand {
    std::uint32_t type = BandType::kFlat;
    float frequency = 1000.0f;  // Hz
    float gain = 0.0f;          // dB
    float q = 1.0f;

    friend bool operator==(const SpeakerEqBand&, const SpeakerEqBand&) = default;
};

// One second-order section in single precision, in the layout of BiquadCoefficients:
// H(z) = b0 (1 + c1 z^-1 + c2 z^-2) / (1 - a1 z^-1 - a2 z^-2).
struct SpeakerEqSection {
    float a1 = 0.0f;
    float a2 = 0.0f;
    float b0 = 1.0f;
    float c1 = 0.0f;
    float c2 = 0.0f;

    friend bool operator==(const SpeakerEqSection&, const SpeakerEqSection&) = default;
};

// The six limiter values, in the order of the limiter's settings.
struct SpeakerEqLimiter {
    float peakThreshold = 100.0f;  // V
    float peakAttack = 1.5f;       // ms
    float peakRelease = 100.0f;    // ms
    float rmsThreshold = 70.7f;    // V
    float rmsAttack = 1000.0f;     // ms
    float rmsRelease = 2000.0f;    // ms

    friend bool operator==(const SpeakerEqLimiter&, const SpeakerEqLimiter&) = default;
};

class SpeakerEqPreset {
public:
    SpeakerEqPreset() = default;
    // Copies the texts and the definition; the section tables of the copy take their
    // defaults, since they are recomputed from the bands rather than copied.
    SpeakerEqPreset(const SpeakerEqPreset& other);
    SpeakerEqPreset(SpeakerEqPreset&&) noexcept = default;
    SpeakerEqPreset& operator=(SpeakerEqPreset&&) noexcept = default;
    // A plain copy assignment would be ambiguous between a copy and a definition.
    SpeakerEqPreset& operator=(const SpeakerEqPreset&) = delete;
    ~SpeakerEqPreset() = default;

    // Takes the EQ name, the description and every value from the high-pass type
    // through the limiter flag of a library definition; keeps the name and the sections.
    void AssignDefinition(const SpeakerEqPreset& definition);

    // Designs each band into its section.
    void ComputeBandSections();

    std::u16string name;         // shown in the lists and stored in designs
    std::u16string eqName;       // key of the preset's definition in the library file
    std::u16string description;
    std::uint32_t highPassType = CrossoverCode::kNone;
    float highPassFrequency = 20.0f;
    std::uint32_t lowPassType = CrossoverCode::kNone;
    float lowPassFrequency = 20000.0f;
    std::uint8_t usingBandwidth = 1;  // 1: band widths were given in octaves
    std::uint8_t eqPolarity = 0;
    float eqGain = 0.0f;  // dB
    std::array<SpeakerEqBand, kBandCount> bands{};
    SpeakerEqLimiter limiter{};
    std::uint8_t limiterFlag = 0;  // 1 when the definition carried all six limiter values
    std::array<SpeakerEqSection, kBandCount> bandSections{};
    std::array<SpeakerEqSection, kFurtherSectionCount> furtherSections{};
};

}  // namespace speaker_eq
