// Byte order of the meter record.
#include "device_manager/amplifier/MeterRecord.h"

#include <cstring>

namespace CobaltDeviceManager {
namespace {

std::uint32_t BigEndianWord(const std::uint8_t* bytes)
{
    return (static_cast<std::uint32_t>(bytes[0]) << 24) | (static_cast<std::uint32_t>(bytes[1]) << 16) |
           (static_cast<std::uint32_t>(bytes[2]) << 8) | static_cast<std::uint32_t>(bytes[3]);
}

}  // namespace

MeterRecord DecodeMeterRecord(const std::uint8_t (&raw)[44])
{
    MeterRecord record{};
    for (std::size_t i = 0; i < 4; ++i) {
        record.inputLevels[i] = BigEndianWord(&raw[4 * i]);
        record.outputLevels[i] = BigEndianWord(&raw[16 + 4 * i]);
    }
    std::memcpy(&record.unused, &raw[32], 4);
    std::memcpy(record.statusWords, &raw[36], 8);
    return record;
}

}  // namespace CobaltDeviceManager
