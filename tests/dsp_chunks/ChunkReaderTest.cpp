// Reader rules: what each operation consumes, skipping, and format errors that must fail
// cleanly instead of reading past an end.
#include <gtest/gtest.h>

#include "dsp_blocks/chunks/ChunkCodec.h"
#include "dsp_blocks/chunks/InplaceMemoryStream.h"
#include "platform/base/ByteStreamMemory.h"
#include "tests/dsp_chunks/ChunkSchemas.h"

namespace {

using chunk_test::Bytes;
using dsp::BlockParamChunk;
using dsp::ChunkReader;
using dsp::ProjectChunk;
using dsp::SettingsChunk;

// A memory stream that can refuse seeks to absolute positions and hide its size, and
// counts reads: the faults a file or pipe could show that memory never does.
class FaultyStream final : public platform::ByteStream {
public:
    explicit FaultyStream(const Bytes& bytes) : inner_(platform::MemoryStream::Create(bytes.data(), bytes.size())) {}
    ~FaultyStream() { inner_->Release(); }

    std::uint32_t AddRef() override { return ++count_; }
    std::uint32_t Release() override { return --count_; }
    platform::StreamResult Read(void* dst, std::uint32_t n, std::uint32_t* read) override
    {
        ++reads;
        return inner_->Read(dst, n, read);
    }
    platform::StreamResult Write(const void*, std::uint32_t, std::uint32_t*) override { return platform::E_NOTIMPL; }
    platform::StreamResult Seek(std::int64_t offset, platform::SeekOrigin origin, std::uint64_t* position) override
    {
        if (failAbsoluteSeeks && origin == platform::SeekOrigin::Begin) {
            return platform::E_FAIL;
        }
        return inner_->Seek(offset, origin, position);
    }
    platform::StreamResult Stat(std::uint64_t* size) override
    {
        return hideSize ? platform::E_NOTIMPL : inner_->Stat(size);
    }

    bool failAbsoluteSeeks = false;
    bool hideSize = false;
    int reads = 0;

private:
    platform::MemoryStream* inner_;
    std::uint32_t count_ = 0;
};

std::uint64_t PositionOf(platform::ByteStream& stream)
{
    std::uint64_t position = 0;
    stream.Seek(0, platform::SeekOrigin::Current, &position);
    return position;
}

TEST(ChunkReader, ReadingFromAUsedUpPayloadFailsWithoutTouchingTheStream)
{
    FaultyStream stream(Bytes{0x01, 0x00, 0x90, 0x07, 0x00, 0x00});
    ChunkReader<BlockParamChunk> chunk(&stream);
    std::uint8_t value = 0;
    ASSERT_TRUE(dsp::ReadChunkU8(chunk, value));
    const int readsBefore = stream.reads;
    const std::uint64_t positionBefore = PositionOf(stream);
    EXPECT_FALSE(dsp::ReadChunkU8(chunk, value));
    float f = 0;
    EXPECT_FALSE(dsp::ReadChunkF32(chunk, f));
    EXPECT_EQ(stream.reads, readsBefore);
    EXPECT_EQ(PositionOf(stream), positionBefore);
    EXPECT_FALSE(chunk.HasFailed());
    EXPECT_TRUE(dsp::IsChunkAtEnd(chunk));
}

TEST(ChunkReader, AValueLargerThanWhatRemainsIsRefusedAndTheRestStaysReadable)
{
    const Bytes blob = {0x02, 0x00, 0x90, 0xAA, 0xBB, 0x00, 0x00};
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    ChunkReader<BlockParamChunk> chunk(&stream);
    std::uint32_t word = 0;
    EXPECT_FALSE(dsp::ReadChunkU32(chunk, word));
    std::uint16_t half = 0;
    ASSERT_TRUE(dsp::ReadChunkU16(chunk, half));
    EXPECT_EQ(half, 0xBBAA);
}

TEST(ChunkReader, AZeroLengthEndsTheListAndConsumesOnlyTheLengthField)
{
    const Bytes blob = {0x00, 0x00, 0x90, 0x07};
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    ChunkReader<BlockParamChunk> chunk(&stream);
    ASSERT_TRUE(dsp::ReadChunkHeader(chunk));
    EXPECT_TRUE(chunk.IsListEnd());
    EXPECT_EQ(stream.Position(), 2u);
    std::uint8_t value = 0;
    EXPECT_FALSE(dsp::ReadChunkU8(chunk, value));
    ASSERT_TRUE(dsp::CloseChunkReader(chunk));
    EXPECT_EQ(stream.Position(), 2u);
}

TEST(ChunkReader, ClosingAPartlyReadChunkLeavesTheStreamAtItsEnd)
{
    const Bytes blob = {0x04, 0x00, 0x90, 1, 2, 3, 4, 0x01, 0x00, 0x91, 9, 0x00, 0x00};
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    {
        ChunkReader<BlockParamChunk> chunk(&stream);
        std::uint8_t value = 0;
        ASSERT_TRUE(dsp::ReadChunkU8(chunk, value));
        ASSERT_TRUE(dsp::CloseChunkReader(chunk));
        EXPECT_EQ(stream.Position(), 7u);
    }
    ChunkReader<BlockParamChunk> next(&stream);
    ASSERT_TRUE(dsp::ReadChunkHeader(next));
    EXPECT_EQ(next.Tag(), 0x91);
}

TEST(ChunkReader, UnknownNestedTagIsSkippedAndTheNextSiblingStillReads)
{
    // 0xF0 {u8 1, 0x77 {3 junk bytes}, 0x7E {0x55 {2 bytes}}, 0xE1 {u8 4, f32 250}}, then a second 0xF0.
    const Bytes blob = {0x17, 0x00, 0xF0, 0x01,
                        0x03, 0x00, 0x77, 0xDE, 0xAD, 0xBE,
                        0x05, 0x00, 0x7E, 0x02, 0x00, 0x55, 0x01, 0x02,
                        0x05, 0x00, 0xE1, 0x04, 0x00, 0x00, 0x7A, 0x43,
                        0x09, 0x00, 0xF0, 0x00, 0x05, 0x00, 0xE1, 0x02, 0x00, 0x00, 0xA0, 0x42,
                        0x00, 0x00};
    chunk_test::Crossover decoded;
    ASSERT_TRUE(chunk_test::DecodeCrossover(blob, decoded));
    ASSERT_TRUE(decoded.filters[1].seen);
    EXPECT_EQ(decoded.filters[1].type, 4);
    EXPECT_EQ(decoded.filters[1].frequency, 250.0f);
    ASSERT_TRUE(decoded.filters[0].seen);
    EXPECT_EQ(decoded.filters[0].type, 2);
    EXPECT_EQ(decoded.filters[0].frequency, 80.0f);
}

TEST(ChunkReader, SkippedBytesAreChargedToEveryEnclosingChunk)
{
    // T {u8 1, N1 {N2 {5 bytes}, 2 bytes}, N3 {u8 9}}
    const Bytes blob = {0x12, 0x00, 0x10, 0x01,
                        0x0A, 0x00, 0x20, 0x05, 0x00, 0x30, 1, 2, 3, 4, 5, 0xEE, 0xEE,
                        0x01, 0x00, 0x40, 0x09,
                        0x00, 0x00};
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    ChunkReader<BlockParamChunk> top(&stream);
    std::uint8_t value = 0;
    ASSERT_TRUE(dsp::ReadChunkU8(top, value));
    {
        ChunkReader<BlockParamChunk> n1(top);
        ASSERT_TRUE(dsp::ReadChunkHeader(n1));
        EXPECT_EQ(n1.Tag(), 0x20);
        {
            ChunkReader<BlockParamChunk> n2(n1);
            ASSERT_TRUE(dsp::ReadChunkU8(n2, value));
            EXPECT_EQ(value, 1);
            ASSERT_TRUE(dsp::CloseChunkReader(n2));
        }
        EXPECT_EQ(n1.Remaining(), 2u);
        ASSERT_TRUE(dsp::CloseChunkReader(n1));
    }
    EXPECT_EQ(top.Remaining(), 4u);
    ChunkReader<BlockParamChunk> n3(top);
    ASSERT_TRUE(dsp::ReadChunkU8(n3, value));
    EXPECT_EQ(n3.Tag(), 0x40);
    EXPECT_EQ(value, 9);
    ASSERT_TRUE(dsp::CloseChunkReader(n3));
    EXPECT_TRUE(dsp::IsChunkAtEnd(top));
    ChunkReader<BlockParamChunk> after(top);
    EXPECT_TRUE(dsp::IsChunkAtEnd(after));
    ASSERT_TRUE(dsp::ReadChunkHeader(after));
    EXPECT_TRUE(after.IsListEnd());
    ASSERT_TRUE(dsp::CloseChunkReader(top));
    EXPECT_EQ(stream.Position(), 21u);
}

TEST(ChunkReader, ANestedLengthBeyondItsParentIsAFormatError)
{
    // The parent holds 4 bytes but its nested chunk claims 5 of payload; the bytes after
    // the parent would have satisfied the read.
    const Bytes blob = {0x04, 0x00, 0xF0, 0x00, 0x05, 0x00, 0x01, 0x00, 0xE1, 0x04, 0x00, 0x00, 0x7A, 0x43, 0x00, 0x00};
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    ChunkReader<BlockParamChunk> top(&stream);
    ASSERT_TRUE(dsp::ReadChunkHeader(top));
    ChunkReader<BlockParamChunk> nested(top);
    EXPECT_FALSE(dsp::ReadChunkHeader(nested));
    EXPECT_TRUE(nested.HasFailed());
    EXPECT_TRUE(top.HasFailed());
    std::uint8_t value = 0;
    EXPECT_FALSE(dsp::ReadChunkU8(top, value));
    EXPECT_FALSE(dsp::CloseChunkReader(top));

    chunk_test::Crossover decoded;
    EXPECT_FALSE(chunk_test::DecodeCrossover(blob, decoded));
}

TEST(ChunkReader, AStrayByteAtTheEndOfAParentIsAFormatError)
{
    const Bytes blob = {0x05, 0x00, 0xF0, 0x01, 0x01, 0x00, 0xE1, 0x07, 0xFF, 0x00, 0x00};
    chunk_test::Crossover decoded;
    EXPECT_FALSE(chunk_test::DecodeCrossover(blob, decoded));
}

TEST(ChunkReader, ATopLevelLengthBeyondTheStreamIsAFormatError)
{
    const Bytes blob = {0x08, 0x00, 0x90, 1, 2, 3, 4, 5, 6, 7};
    {
        dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
        ChunkReader<BlockParamChunk> chunk(&stream);
        EXPECT_FALSE(dsp::ReadChunkHeader(chunk));
        EXPECT_TRUE(chunk.HasFailed());
    }
    {
        FaultyStream stream(blob);
        ChunkReader<BlockParamChunk> chunk(&stream);
        EXPECT_FALSE(dsp::ReadChunkHeader(chunk));
    }
    {
        // A stream that neither tells its size nor refuses a far seek lets the length
        // through; the payload read then stops at the stream's end.
        FaultyStream stream(blob);
        stream.hideSize = true;
        ChunkReader<BlockParamChunk> chunk(&stream);
        ASSERT_TRUE(dsp::ReadChunkHeader(chunk));
        std::uint8_t payload[8];
        EXPECT_FALSE(dsp::ReadChunkBytes(chunk, payload, sizeof payload));
        EXPECT_TRUE(chunk.HasFailed());
    }
}

TEST(ChunkReader, TheUnreadMarkerIsNeverAcceptedAsALength)
{
    Bytes blob = {0xFF, 0xFF, 0x01};
    blob.resize(3 + 0xFFFF + 2, 0);
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    ChunkReader<BlockParamChunk> chunk(&stream);
    EXPECT_FALSE(dsp::ReadChunkHeader(chunk));

    FaultyStream settings(Bytes{0xFF, 0xFF, 0x01, 0x00});
    ChunkReader<SettingsChunk> chunk16(&settings);
    EXPECT_FALSE(dsp::ReadChunkHeader16(chunk16));

    FaultyStream project(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00});
    ChunkReader<ProjectChunk> chunk32(&project);
    EXPECT_FALSE(dsp::BeginChunkRead(chunk32));
}

TEST(ChunkReader, AHugeDeclaredSizeAllocatesNothing)
{
    const Bytes blob = {0xF0, 0xFF, 0xFF, 0x7F, 0x00, 0x01, 0x00, 0x76, 1, 2, 3};
    FaultyStream stream(blob);
    ChunkReader<ProjectChunk> chunk(&stream);
    std::vector<std::uint8_t> payload;
    EXPECT_FALSE(dsp::ReadChunkPayload(chunk, payload));
    EXPECT_EQ(payload.capacity(), 0u);

    FaultyStream unsized(blob);
    unsized.hideSize = true;
    ChunkReader<ProjectChunk> unchecked(&unsized);
    EXPECT_FALSE(dsp::ReadChunkPayload(unchecked, payload));
    EXPECT_LE(payload.capacity(), 0x10000u);
}

TEST(ChunkReader, AFailedSeekFailsTheRead)
{
    const Bytes blob = {0x03, 0x00, 0x90, 1, 2, 3, 0x00, 0x00};
    FaultyStream stream(blob);
    ChunkReader<BlockParamChunk> chunk(&stream);
    std::uint8_t value = 0;
    ASSERT_TRUE(dsp::ReadChunkU8(chunk, value));
    stream.failAbsoluteSeeks = true;
    EXPECT_FALSE(dsp::CloseChunkReader(chunk));
    EXPECT_TRUE(chunk.HasFailed());
    EXPECT_FALSE(dsp::CloseChunkReader(chunk));
}

TEST(ChunkReader, AFailedSkipInANestedChunkFailsEveryEnclosingReader)
{
    const Bytes blob = {0x07, 0x00, 0x10, 0x04, 0x00, 0x20, 1, 2, 3, 4, 0x00, 0x00};
    FaultyStream stream(blob);
    ChunkReader<BlockParamChunk> top(&stream);
    ChunkReader<BlockParamChunk> nested(top);
    std::uint8_t value = 0;
    ASSERT_TRUE(dsp::ReadChunkU8(nested, value));
    stream.failAbsoluteSeeks = true;
    EXPECT_FALSE(dsp::CloseChunkReader(nested));
    EXPECT_TRUE(top.HasFailed());
    ChunkReader<BlockParamChunk> sibling(top);
    EXPECT_FALSE(dsp::ReadChunkHeader(sibling));
}

TEST(ChunkReader, ClosingAReaderWhoseHeaderWasNeverReadLeavesTheStreamAlone)
{
    const Bytes blob = {0x01, 0x00, 0x90, 0x07, 0x00, 0x00};
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    std::uint8_t skip[3];
    std::uint32_t got = 0;
    ASSERT_EQ(stream.Read(skip, 3, &got), platform::S_OK);
    ChunkReader<BlockParamChunk> chunk(&stream);
    EXPECT_TRUE(dsp::CloseChunkReader(chunk));
    EXPECT_EQ(stream.Position(), 3u);
}

TEST(ChunkReader, ABlobWithoutItsTerminatorFailsAtTheNextHeader)
{
    const Bytes blob = {0x01, 0x00, 0x90, 0x07};
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    {
        ChunkReader<BlockParamChunk> chunk(&stream);
        ASSERT_TRUE(dsp::ReadChunkHeader(chunk));
        ASSERT_TRUE(dsp::CloseChunkReader(chunk));
    }
    ChunkReader<BlockParamChunk> next(&stream);
    EXPECT_FALSE(dsp::ReadChunkHeader(next));
}

TEST(ChunkReader, ReaderPositionQueriesAndSeeksGoToTheOutermostStream)
{
    const Bytes blob = {0x04, 0x00, 0x10, 0x01, 0x00, 0x20, 0x05, 0x00, 0x00};
    dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
    ChunkReader<BlockParamChunk> top(&stream);
    ChunkReader<BlockParamChunk> nested(top);
    ASSERT_TRUE(dsp::ReadChunkHeader(nested));
    std::uint64_t position = 0;
    ASSERT_TRUE(dsp::GetChunkStreamPosition(nested, position));
    EXPECT_EQ(position, 6u);
    ASSERT_TRUE(dsp::SeekChunkStream(nested, 1));
    EXPECT_EQ(stream.Position(), 1u);
    EXPECT_FALSE(dsp::SeekChunkStream(nested, 100));
}

TEST(ChunkReader, EveryPrefixOfAValidNestedBlobIsRejected)
{
    chunk_test::Crossover crossover;
    crossover.filters[0] = {1, 100.0f, false};
    crossover.filters[1] = {2, 2000.0f, false};
    const Bytes blob = chunk_test::EncodeCrossover(crossover);
    ASSERT_EQ(blob.size(), 26u);
    for (std::size_t n = 0; n < blob.size(); ++n) {
        // An exact-size heap copy, so the sanitizer sees any read past the prefix.
        const Bytes prefix(blob.begin(), blob.begin() + static_cast<std::ptrdiff_t>(n));
        chunk_test::Crossover decoded;
        EXPECT_FALSE(chunk_test::DecodeCrossover(prefix, decoded)) << "prefix " << n;
        bool consistent = true;
        EXPECT_FALSE(chunk_test::WalkBlockBlob(prefix, consistent)) << "prefix " << n;
    }
    chunk_test::Crossover decoded;
    EXPECT_TRUE(chunk_test::DecodeCrossover(blob, decoded));
}

TEST(ChunkReader, EveryPrefixOfValidSettingsAndProjectStreamsIsRejected)
{
    platform::MemoryStream* settingsOut = platform::MemoryStream::Create();
    platform::ByteStreamRef settingsRef = platform::ByteStreamRef::Adopt(settingsOut);
    ASSERT_TRUE(chunk_test::EncodeSettings(settingsOut, chunk_test::Settings{}));
    const Bytes settings = settingsOut->Bytes();
    for (std::size_t n = 0; n < settings.size(); ++n) {
        FaultyStream in(Bytes(settings.begin(), settings.begin() + static_cast<std::ptrdiff_t>(n)));
        chunk_test::Settings decoded;
        EXPECT_FALSE(chunk_test::DecodeSettings(&in, decoded)) << "prefix " << n;
    }

    chunk_test::Project project;
    project.blocks.push_back({4, 0, 1, Bytes{1, 2, 3}});
    platform::MemoryStream* projectOut = platform::MemoryStream::Create();
    platform::ByteStreamRef projectRef = platform::ByteStreamRef::Adopt(projectOut);
    ASSERT_TRUE(chunk_test::EncodeProject(projectOut, project));
    const Bytes file = projectOut->Bytes();
    // The trailing zero size lies outside the root chunk, which the reader never needs.
    for (std::size_t n = 0; n + 4 < file.size(); ++n) {
        FaultyStream in(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)));
        in.hideSize = (n % 2) == 0;
        chunk_test::Project decoded;
        EXPECT_FALSE(chunk_test::DecodeProject(&in, decoded)) << "prefix " << n;
    }
}

}  // namespace
