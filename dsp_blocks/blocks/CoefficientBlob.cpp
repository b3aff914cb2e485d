// Coefficient bytes for the amplifier, refused when a value does not fit 8.24.
#include "dsp_blocks/blocks/CoefficientBlob.h"

#include <bit>
#include <cmath>

#include "platform/base/ByteOrder.h"

bool IsSendableCoefficient(double value)
{
    return std::isfinite(value) && std::fabs(value) < 128.0;
}

void AppendLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.resize(out.size() + sizeof value);
    platform::StoreLittleEndian(value, out.data() + out.size() - sizeof value);
}

void AppendLittleEndian64(std::vector<std::uint8_t>& out, std::uint64_t value)
{
    out.resize(out.size() + sizeof value);
    platform::StoreLittleEndian(value, out.data() + out.size() - sizeof value);
}

bool CoefficientBlob::AppendDouble(double value)
{
    if (!IsSendableCoefficient(value)) {
        ok_ = false;
    }
    AppendLittleEndian64(bytes_, std::bit_cast<std::uint64_t>(value));
    return ok_;
}

bool CoefficientBlob::AppendSection(const BiquadCoefficients& section)
{
    AppendDouble(section.b0);
    AppendDouble(section.b0 * section.c1);
    AppendDouble(section.b0 * section.c2);
    AppendDouble(-section.a1);
    AppendDouble(-section.a2);
    return ok_;
}
