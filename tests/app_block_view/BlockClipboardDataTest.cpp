// The block clipboard format: its byte layout and the checks on foreign data.
#include <gtest/gtest.h>

#include "application/clipboard/BlockClipboardData.h"

namespace {

std::vector<std::uint8_t> Header(std::uint32_t type, std::int32_t nameLength)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t word : {type, static_cast<std::uint32_t>(nameLength)}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(word >> shift));
        }
    }
    return bytes;
}

TEST(BlockClipboardData, RoundTripIsByteExactWithTheNameInTheAnsiCodePage)
{
    const std::vector<std::uint8_t> blob = {0x05, 0x00, 0x90, 0x07, 0xFF, 0x00, 0x00};
    const auto bytes = WriteBlockClipboardData(4, u"Xover \u00e9\u20ac", blob.data(), 7);
    std::vector<std::uint8_t> expected = Header(4, 8);
    for (char c : std::string("Xover \xE9\x80")) {
        expected.push_back(static_cast<std::uint8_t>(c));
    }
    expected.insert(expected.end(), blob.begin(), blob.end());
    EXPECT_EQ(bytes, expected);

    const auto read = ReadBlockClipboardData(bytes);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->type, 4u);
    EXPECT_EQ(read->name, u"Xover \u00e9\u20ac");
    EXPECT_EQ(read->blob, blob);

    const auto empty = ReadBlockClipboardData(WriteBlockClipboardData(2, u"", nullptr, 0));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->name.empty());
    EXPECT_TRUE(empty->blob.empty());
}

TEST(BlockClipboardData, ALongNameIsCutTo256BytesAndTheBlobStillFollowsAllOfIt)
{
    std::vector<std::uint8_t> bytes = Header(12, 300);
    for (int i = 0; i < 300; ++i) {
        bytes.push_back(static_cast<std::uint8_t>('a' + i % 26));
    }
    bytes.insert(bytes.end(), {1, 2, 3});
    const auto read = ReadBlockClipboardData(bytes);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->name.size(), kBlockClipboardNameLimit);
    EXPECT_EQ(read->name.back(), u'a' + 255 % 26);
    EXPECT_EQ(read->blob, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(BlockClipboardData, ShortDataNegativeLengthsAndNamesPastTheEndAreRefused)
{
    EXPECT_FALSE(ReadBlockClipboardData(std::vector<std::uint8_t>{4, 0, 0, 0, 0, 0, 0}).has_value());
    EXPECT_FALSE(ReadBlockClipboardData(Header(4, -1)).has_value());
    EXPECT_FALSE(ReadBlockClipboardData(Header(4, INT32_MIN)).has_value());
    std::vector<std::uint8_t> cut = Header(4, 5);
    cut.insert(cut.end(), {'a', 'b', 'c', 'd'});
    EXPECT_FALSE(ReadBlockClipboardData(cut).has_value());
    cut.push_back('e');
    EXPECT_TRUE(ReadBlockClipboardData(cut).has_value());  // exactly the name, no blob
}

}  // namespace
