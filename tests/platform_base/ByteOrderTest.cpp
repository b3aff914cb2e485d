// Byte order of files and wire words, checked against the bytes themselves.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/base/ByteOrder.h"

TEST(ByteOrder, LittleAndBigEndianPutTheBytesInTheirOrderAndReadThemBack)
{
    std::uint8_t bytes[8] = {};
    platform::StoreLittleEndian<std::uint32_t>(0x11223344u, bytes);
    EXPECT_EQ(bytes[0], 0x44);
    EXPECT_EQ(bytes[3], 0x11);
    EXPECT_EQ(platform::LoadLittleEndian<std::uint32_t>(bytes), 0x11223344u);
    EXPECT_EQ(platform::LoadBigEndian<std::uint32_t>(bytes), 0x44332211u);
    platform::StoreBigEndian<std::uint16_t>(0xA210, bytes);
    EXPECT_EQ(bytes[0], 0xA2);
    EXPECT_EQ(bytes[1], 0x10);
    EXPECT_EQ(platform::LoadBigEndian<std::uint16_t>(bytes), 0xA210);
    platform::StoreLittleEndian<std::uint64_t>(0x0102030405060708ull, bytes);
    EXPECT_EQ(bytes[0], 0x08);
    EXPECT_EQ(bytes[7], 0x01);
    EXPECT_EQ(platform::LoadLittleEndian<std::uint64_t>(bytes), 0x0102030405060708ull);
    platform::StoreBigEndian<std::uint32_t>(0xFFFFFFFFu, bytes);
    EXPECT_EQ(platform::LoadBigEndian<std::uint32_t>(bytes), 0xFFFFFFFFu);
}
