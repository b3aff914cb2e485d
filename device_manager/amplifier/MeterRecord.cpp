// Byte order of the meter record.
#include "device_manager/amplifier/MeterRecord.h"

#include <cstring>

#include "platform/base/ByteOrder.h"

namespace CobaltDeviceManager {

MeterRecord DecodeMeterRecord(const std::uint8_t (&raw)[44])
{
    MeterRecord record{};
    for (std::size_t i = 0; i < 4; ++i) {
        record.inputLevels[i] = platform::LoadBigEndian<std::uint32_t>(&raw[4 * i]);
        record.outputLevels[i] = platform::LoadBigEndian<std::uint32_t>(&raw[16 + 4 * i]);
    }
    std::memcpy(&record.unused, &raw[32], 4);
    std::memcpy(record.statusWords, &raw[36], 8);
    return record;
}

}  // namespace CobaltDeviceManager
