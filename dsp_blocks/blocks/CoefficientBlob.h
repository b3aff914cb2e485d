// Builds the coefficient bytes a block sends to the amplifier. The amplifier takes every
// value as signed 8.24 fixed point, so a value that is not finite or whose magnitude is
// 128 or more would arrive as garbage: such values make the build fail instead.
#pragma once

#include <cstdint>
#include <vector>

#include "dsp_blocks/filters/BiquadCoefficients.h"

// Finite and of magnitude below 128: representable in signed 8.24.
bool IsSendableCoefficient(double value);

class CoefficientBlob {
public:
    // Appends one little-endian f64; false (and the blob marked failed) when the value is
    // not sendable.
    bool AppendDouble(double value);
    // Appends b0, b0 x c1, b0 x c2, -a1, -a2 of the section.
    bool AppendSection(const BiquadCoefficients& section);

    // True while every appended value was sendable.
    bool Ok() const { return ok_; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    bool ok_ = true;
};

// Little-endian stores shared by the blob builders.
void AppendLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value);
void AppendLittleEndian64(std::vector<std::uint8_t>& out, std::uint64_t value);
