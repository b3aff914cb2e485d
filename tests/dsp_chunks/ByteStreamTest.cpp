// The growable memory stream and the file stream the chunk codec and the files use.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/base/ByteStreamFile.h"
#include "platform/base/ByteStreamMemory.h"
#include "tests/dsp_chunks/ChunkSchemas.h"
#include "tests/support/TempFolder.h"

namespace {

using platform::SeekOrigin;

TEST(MemoryStream, ReadsBackWhatWasWrittenAndStopsAtTheEnd)
{
    platform::ByteStreamRef ref = platform::ByteStreamRef::Adopt(platform::MemoryStream::Create());
    const std::uint8_t bytes[3] = {1, 2, 3};
    std::uint32_t count = 0;
    ASSERT_EQ(ref->Write(bytes, 3, &count), platform::S_OK);
    EXPECT_EQ(count, 3u);
    ASSERT_EQ(ref->Seek(1, SeekOrigin::Begin, nullptr), platform::S_OK);
    std::uint8_t out[4] = {};
    ASSERT_EQ(ref->Read(out, 4, &count), platform::S_OK);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(out[1], 3);
    ASSERT_EQ(ref->Read(out, 4, &count), platform::S_OK);
    EXPECT_EQ(count, 0u);
}

TEST(MemoryStream, WritingAfterAGapFillsItWithZeros)
{
    platform::MemoryStream* stream = platform::MemoryStream::Create();
    platform::ByteStreamRef ref = platform::ByteStreamRef::Adopt(stream);
    std::uint64_t position = 0;
    ASSERT_EQ(stream->Seek(2, SeekOrigin::End, &position), platform::S_OK);
    EXPECT_EQ(position, 2u);
    const std::uint8_t byte = 9;
    ASSERT_EQ(stream->Write(&byte, 1, nullptr), platform::S_OK);
    EXPECT_EQ(stream->Bytes(), (std::vector<std::uint8_t>{0, 0, 9}));
    std::uint64_t size = 0;
    ASSERT_EQ(stream->Stat(&size), platform::S_OK);
    EXPECT_EQ(size, 3u);
}

TEST(MemoryStream, SeeksOutsideItsRangeAreRefusedAndLeaveThePosition)
{
    platform::MemoryStream* stream = platform::MemoryStream::Create();
    platform::ByteStreamRef ref = platform::ByteStreamRef::Adopt(stream);
    ASSERT_EQ(stream->Seek(5, SeekOrigin::Begin, nullptr), platform::S_OK);
    EXPECT_EQ(stream->Seek(-6, SeekOrigin::Current, nullptr), platform::E_INVALIDARG);
    EXPECT_EQ(stream->Seek(std::int64_t{1} << 40, SeekOrigin::Begin, nullptr), platform::E_INVALIDARG);
    EXPECT_EQ(stream->Seek(INT64_MIN, SeekOrigin::End, nullptr), platform::E_INVALIDARG);
    EXPECT_EQ(stream->Seek(0, static_cast<SeekOrigin>(3), nullptr), platform::E_INVALIDARG);
    EXPECT_EQ(stream->Position(), 5u);
}

TEST(MemoryStream, TheLastReleaseDeletesTheStream)
{
    platform::MemoryStream* stream = platform::MemoryStream::Create();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->AddRef(), 2u);
    EXPECT_EQ(stream->Release(), 1u);
    // Under AddressSanitizer a missing delete shows up as a leak, a double one as an error.
    EXPECT_EQ(stream->Release(), 0u);
}

TEST(FileStream, SettingsWrittenToAFileReadBackTheSame)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::filesystem::path path = folder.Path() / "Settings.dat";
    chunk_test::Settings settings;
    settings.style = 0x00CF0000;
    settings.rect[0] = 10;
    settings.rect[3] = 700;
    settings.value = 3;
    {
        platform::FileStream* file = nullptr;
        ASSERT_EQ(platform::FileStream::Open(path, platform::FileMode::Create, &file), platform::S_OK);
        platform::ByteStreamRef ref = platform::ByteStreamRef::Adopt(file);
        ASSERT_TRUE(chunk_test::EncodeSettings(file, settings));
        EXPECT_EQ(file->Sync(), platform::S_OK);
        EXPECT_EQ(file->Close(), platform::S_OK);
        EXPECT_EQ(file->Write("x", 1, nullptr), platform::E_FAIL);
    }
    EXPECT_EQ(std::filesystem::file_size(path), 42u);

    platform::FileStream* file = nullptr;
    ASSERT_EQ(platform::FileStream::Open(path, platform::FileMode::Read, &file), platform::S_OK);
    platform::ByteStreamRef ref = platform::ByteStreamRef::Adopt(file);
    std::uint64_t size = 0;
    ASSERT_EQ(file->Stat(&size), platform::S_OK);
    EXPECT_EQ(size, 42u);
    chunk_test::Settings decoded;
    ASSERT_TRUE(chunk_test::DecodeSettings(file, decoded));
    EXPECT_EQ(decoded.style, settings.style);
    EXPECT_EQ(decoded.rect[3], 700u);
    EXPECT_EQ(decoded.value, 3u);
    // Read-only: writing fails with the file error and its errno.
    EXPECT_EQ(file->Write("x", 1, nullptr), platform::E_FAIL);
    EXPECT_NE(file->LastError(), 0);
}

TEST(FileStream, OpeningModesRefuseWhatTheyShould)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::filesystem::path path = folder.Path() / "project.cvp";
    platform::FileStream* file = nullptr;
    int error = 0;
    EXPECT_EQ(platform::FileStream::Open(path, platform::FileMode::Read, &file, &error), platform::STG_E_FILENOTFOUND);
    EXPECT_EQ(error, ENOENT);
    EXPECT_EQ(file, nullptr);

    ASSERT_EQ(platform::FileStream::Open(path, platform::FileMode::CreateNew, &file), platform::S_OK);
    platform::ByteStreamRef first = platform::ByteStreamRef::Adopt(file);
    ASSERT_EQ(file->Write("abc", 3, nullptr), platform::S_OK);
    first.Reset();

    platform::FileStream* again = nullptr;
    EXPECT_EQ(platform::FileStream::Open(path, platform::FileMode::CreateNew, &again, &error), platform::E_FAIL);
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(again, nullptr);

    // ReadWrite keeps the contents; Create empties them.
    ASSERT_EQ(platform::FileStream::Open(path, platform::FileMode::ReadWrite, &again), platform::S_OK);
    platform::ByteStreamRef keep = platform::ByteStreamRef::Adopt(again);
    std::uint64_t size = 0;
    ASSERT_EQ(again->Stat(&size), platform::S_OK);
    EXPECT_EQ(size, 3u);
    keep.Reset();
    ASSERT_EQ(platform::FileStream::Open(path, platform::FileMode::Create, &again), platform::S_OK);
    platform::ByteStreamRef empty = platform::ByteStreamRef::Adopt(again);
    ASSERT_EQ(again->Stat(&size), platform::S_OK);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(again->Seek(-1, SeekOrigin::Begin, nullptr), platform::E_INVALIDARG);
}

}  // namespace
