// The meter record: only the level words change byte order.
#include "device_manager/amplifier/MeterRecord.h"

#include <gtest/gtest.h>

#include <cstring>

namespace CobaltDeviceManager {
namespace {

TEST(MeterRecord, LevelWordsAreBigEndianAndStatusWordsStayAsTheyArrived)
{
    std::uint8_t raw[44];
    for (int i = 0; i < 44; ++i) {
        raw[i] = static_cast<std::uint8_t>(i + 1);
    }
    const MeterRecord record = DecodeMeterRecord(raw);
    EXPECT_EQ(record.inputLevels[0], 0x01020304u);
    EXPECT_EQ(record.inputLevels[3], 0x0D0E0F10u);
    EXPECT_EQ(record.outputLevels[0], 0x11121314u);
    EXPECT_EQ(record.outputLevels[3], 0x1D1E1F20u);
    std::uint32_t status[2];
    std::memcpy(status, &raw[36], 8);
    EXPECT_EQ(record.statusWords[0], status[0]);
    EXPECT_EQ(record.statusWords[1], status[1]);
    EXPECT_EQ(std::memcmp(&record.statusWords, &raw[36], 8), 0);
}

}  // namespace
}  // namespace CobaltDeviceManager
