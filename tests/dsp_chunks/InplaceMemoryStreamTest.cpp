// The two streams over caller memory: room, seek rules, faults and their reference counts.
#include <gtest/gtest.h>

#include "dsp_blocks/chunks/InplaceMemoryStream.h"

namespace {

using platform::SeekOrigin;

TEST(InplaceMemoryStreamW, WritingPastTheCapacityTakesWhatFitsThenReportsMediumFull)
{
    std::uint8_t buffer[4] = {};
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    const std::uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    std::uint32_t written = 99;
    EXPECT_EQ(stream.Write(bytes, 6, &written), platform::S_OK);
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(stream.Size(), 4u);
    EXPECT_EQ(stream.Write(bytes, 1, &written), platform::STG_E_MEDIUMFULL);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(stream.Write(bytes, 0, &written), platform::S_OK);
    EXPECT_EQ(buffer[3], 4);
}

TEST(InplaceMemoryStreamW, SizeIsTheHighestPositionWritten)
{
    std::uint8_t buffer[8] = {};
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    const std::uint8_t bytes[5] = {1, 2, 3, 4, 5};
    ASSERT_EQ(stream.Write(bytes, 5, nullptr), platform::S_OK);
    std::uint64_t position = 0;
    ASSERT_EQ(stream.Seek(1, SeekOrigin::Begin, &position), platform::S_OK);
    EXPECT_EQ(position, 1u);
    ASSERT_EQ(stream.Write(bytes, 2, nullptr), platform::S_OK);
    std::uint64_t size = 0;
    ASSERT_EQ(stream.Stat(&size), platform::S_OK);
    EXPECT_EQ(size, 5u);
    ASSERT_EQ(stream.Seek(0, SeekOrigin::Current, &position), platform::S_OK);
    EXPECT_EQ(position, 3u);
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(buffer[2], 2);
}

TEST(InplaceMemoryStreamW, SeekFollowsTheFixedRules)
{
    std::uint8_t buffer[8] = {};
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    const std::uint8_t bytes[3] = {1, 2, 3};
    ASSERT_EQ(stream.Write(bytes, 3, nullptr), platform::S_OK);
    std::uint64_t position = 77;
    EXPECT_EQ(stream.Seek(3, SeekOrigin::Begin, &position), platform::S_OK);
    EXPECT_EQ(position, 3u);
    EXPECT_EQ(stream.Seek(4, SeekOrigin::Begin, &position), platform::E_INVALIDARG);
    EXPECT_EQ(stream.Seek(std::int64_t{1} << 32, SeekOrigin::Begin, &position), platform::E_INVALIDARG);
    EXPECT_EQ(stream.Seek(-1, SeekOrigin::Begin, &position), platform::E_INVALIDARG);
    EXPECT_EQ(stream.Seek(1, SeekOrigin::Current, &position), platform::E_NOTIMPL);
    EXPECT_EQ(stream.Seek(0, SeekOrigin::End, &position), platform::E_NOTIMPL);
    EXPECT_EQ(stream.Seek(0, static_cast<SeekOrigin>(3), &position), platform::E_INVALIDARG);
    EXPECT_EQ(position, 3u);
    EXPECT_EQ(stream.Seek(0, SeekOrigin::Current, nullptr), platform::S_OK);
}

TEST(InplaceMemoryStreamW, ReadingIsNotSupportedAndNoInterfaceIsHandedOut)
{
    std::uint8_t buffer[4] = {};
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    std::uint8_t byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1, nullptr), platform::E_NOTIMPL);
    void* out = &byte;
    EXPECT_EQ(stream.QueryInterface(CobaltDeviceManager::InterfaceId{}, &out), platform::E_NOINTERFACE);
    EXPECT_EQ(out, &byte);
}

TEST(InplaceMemoryStreamX, SeekToExactlyTheSizeSucceedsAndOneBeyondIsRefused)
{
    const std::uint8_t data[3] = {7, 8, 9};
    dsp::InplaceReadStream stream(data, sizeof data);
    std::uint64_t position = 0;
    EXPECT_EQ(stream.Seek(3, SeekOrigin::Begin, &position), platform::S_OK);
    EXPECT_EQ(position, 3u);
    EXPECT_EQ(stream.Seek(4, SeekOrigin::Begin, &position), platform::E_INVALIDARG);
    EXPECT_EQ(stream.Position(), 3u);
    std::uint8_t byte = 0;
    std::uint32_t read = 5;
    EXPECT_EQ(stream.Read(&byte, 1, &read), platform::STG_E_READFAULT);
    EXPECT_EQ(read, 0u);
}

TEST(InplaceMemoryStreamX, ReadsWhatIsLeftAndAdvances)
{
    const std::uint8_t data[3] = {7, 8, 9};
    dsp::InplaceReadStream stream(data, sizeof data);
    ASSERT_EQ(stream.Seek(1, SeekOrigin::Begin, nullptr), platform::S_OK);
    std::uint8_t out[4] = {};
    std::uint32_t read = 0;
    EXPECT_EQ(stream.Read(out, 4, &read), platform::S_OK);
    EXPECT_EQ(read, 2u);
    EXPECT_EQ(out[0], 8);
    EXPECT_EQ(out[1], 9);
    EXPECT_EQ(stream.Seek(1, SeekOrigin::Current, nullptr), platform::E_NOTIMPL);
    EXPECT_EQ(stream.Seek(0, SeekOrigin::End, nullptr), platform::E_NOTIMPL);
    EXPECT_EQ(stream.Seek(0, static_cast<SeekOrigin>(9), nullptr), platform::E_INVALIDARG);
}

TEST(InplaceMemoryStreamX, WritingAndStatAreNotSupported)
{
    const std::uint8_t data[1] = {1};
    dsp::InplaceReadStream stream(data, sizeof data);
    std::uint64_t size = 0;
    EXPECT_EQ(stream.Stat(&size), platform::E_NOTIMPL);
    EXPECT_EQ(stream.Write(data, 1, nullptr), platform::E_NOTIMPL);
}

TEST(InplaceMemoryStreams, ReleaseCountsDownWithoutDeleting)
{
    const std::uint8_t data[1] = {1};
    dsp::InplaceReadStream stream(data, sizeof data);
    EXPECT_EQ(stream.AddRef(), 1u);
    EXPECT_EQ(stream.AddRef(), 2u);
    EXPECT_EQ(stream.Release(), 1u);
    EXPECT_EQ(stream.Release(), 0u);
    // Still usable: the object belongs to this scope, not to its count.
    std::uint8_t byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1, nullptr), platform::S_OK);
    EXPECT_EQ(byte, 1);
}

}  // namespace
