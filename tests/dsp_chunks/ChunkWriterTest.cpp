// Writer rules: lengths patched on close, limits of the length fields, misuse refused,
// and running out of room in a fixed buffer.
#include <gtest/gtest.h>

#include "dsp_blocks/chunks/ChunkCodec.h"
#include "dsp_blocks/chunks/InplaceMemoryStream.h"
#include "platform/base/ByteStreamMemory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using dsp::BlockParamChunk;
using dsp::ChunkWriter;
using dsp::ProjectChunk;
using dsp::SettingsChunk;

struct MemoryFixture {
    platform::MemoryStream* memory = platform::MemoryStream::Create();
    platform::ByteStreamRef ref = platform::ByteStreamRef::Adopt(memory);
};

TEST(ChunkWriter, AWriterLeftOpenIsClosedWhenItGoesOutOfScope)
{
    MemoryFixture out;
    {
        ChunkWriter<BlockParamChunk> list(out.memory);
        ChunkWriter<BlockParamChunk> unit;
        ASSERT_TRUE(dsp::OpenChunk(unit, 0x90, list));
        ASSERT_TRUE(dsp::WriteChunkU8(unit, 7));
    }
    EXPECT_EQ(out.memory->Bytes(), (Bytes{0x01, 0x00, 0x90, 0x07, 0x00, 0x00}));
}

TEST(ChunkWriter, WritesStartAtTheStreamsCurrentPosition)
{
    MemoryFixture out;
    const std::uint8_t prefix[3] = {0xAB, 0xCD, 0xEF};
    ASSERT_EQ(out.memory->Write(prefix, 3, nullptr), platform::S_OK);
    {
        ChunkWriter<SettingsChunk> list(out.memory);
        ChunkWriter<SettingsChunk> value;
        ASSERT_TRUE(dsp::OpenChunk16(value, 0x1234, list));
        ASSERT_TRUE(dsp::WriteChunkU16(value, 0xBEEF));
        ASSERT_TRUE(dsp::CloseChunk(value));
        ASSERT_TRUE(dsp::CloseChunk(list));
    }
    EXPECT_EQ(out.memory->Bytes(), (Bytes{0xAB, 0xCD, 0xEF, 0x02, 0x00, 0x34, 0x12, 0xEF, 0xBE, 0x00, 0x00}));
}

TEST(ChunkWriter, PayloadUpToTheLargestLengthIsWrittenAndOneMoreByteIsRefused)
{
    MemoryFixture out;
    ChunkWriter<BlockParamChunk> list(out.memory);
    ChunkWriter<BlockParamChunk> big;
    ASSERT_TRUE(dsp::OpenChunk(big, 0x01, list));
    const Bytes payload(dsp::kMaxChunkPayload<BlockParamChunk>, 0x5A);
    ASSERT_TRUE(dsp::WriteChunkBytes(big, payload.data(), static_cast<std::uint32_t>(payload.size())));
    const std::size_t sizeBefore = out.memory->Bytes().size();
    EXPECT_FALSE(dsp::WriteChunkU8(big, 1));
    EXPECT_EQ(out.memory->Bytes().size(), sizeBefore);
    EXPECT_TRUE(big.HasFailed());
    EXPECT_TRUE(list.HasFailed());
}

TEST(ChunkWriter, ANestedChunkCannotOutgrowItsParentsLengthField)
{
    MemoryFixture out;
    ChunkWriter<SettingsChunk> list(out.memory);
    ChunkWriter<SettingsChunk> outer;
    ChunkWriter<SettingsChunk> inner;
    ASSERT_TRUE(dsp::OpenChunk16(outer, 0x01, list));
    ASSERT_TRUE(dsp::OpenChunk16(inner, 0x02, outer));
    // The inner header already took 4 of the outer chunk's 65,534 bytes.
    const Bytes payload(dsp::kMaxChunkPayload<SettingsChunk> - 3, 0);
    EXPECT_FALSE(dsp::WriteChunkBytes(inner, payload.data(), static_cast<std::uint32_t>(payload.size())));
}

TEST(ChunkWriter, WritingIntoAParentWhileItsChildIsOpenIsRefused)
{
    MemoryFixture out;
    ChunkWriter<BlockParamChunk> list(out.memory);
    ChunkWriter<BlockParamChunk> child;
    ASSERT_TRUE(dsp::OpenChunk(child, 0x10, list));
    EXPECT_FALSE(dsp::WriteChunkU8(list, 1));
    ChunkWriter<BlockParamChunk> sibling;
    EXPECT_FALSE(dsp::OpenChunk(sibling, 0x11, list));
}

TEST(ChunkWriter, ClosingTwiceOrWithAnOpenChildFails)
{
    MemoryFixture out;
    ChunkWriter<BlockParamChunk> list(out.memory);
    ChunkWriter<BlockParamChunk> child;
    ASSERT_TRUE(dsp::OpenChunk(child, 0x10, list));
    ASSERT_TRUE(dsp::WriteChunkU8(child, 1));
    ASSERT_TRUE(dsp::CloseChunk(child));
    EXPECT_FALSE(dsp::CloseChunk(child));
    EXPECT_FALSE(dsp::WriteChunkU8(child, 2));

    MemoryFixture other;
    ChunkWriter<BlockParamChunk> list2(other.memory);
    ChunkWriter<BlockParamChunk> open;
    ASSERT_TRUE(dsp::OpenChunk(open, 0x10, list2));
    EXPECT_FALSE(dsp::CloseChunk(list2));
}

TEST(ChunkWriter, ASecondCloseWritesNothing)
{
    MemoryFixture out;
    ChunkWriter<BlockParamChunk> list(out.memory);
    ASSERT_TRUE(dsp::CloseChunk(list));
    EXPECT_FALSE(dsp::CloseChunk(list));
    EXPECT_EQ(out.memory->Bytes(), (Bytes{0x00, 0x00}));
}

TEST(ChunkWriter, RootChunkCountsOnlyItsPayloadAndIgnoresWhatCameBefore)
{
    MemoryFixture out;
    const std::uint8_t signature[4] = {1, 2, 3, 4};
    ASSERT_EQ(out.memory->Write(signature, 4, nullptr), platform::S_OK);
    ChunkWriter<ProjectChunk> root;
    ASSERT_TRUE(dsp::OpenRootChunk32(root, 0xA1B2C3D4, out.memory));
    EXPECT_EQ(dsp::GetRootChunkStream(root), out.memory);
    ASSERT_TRUE(dsp::WriteChunkU8(root, 0x42));
    ASSERT_TRUE(dsp::CloseChunk32(root));
    EXPECT_EQ(out.memory->Bytes(),
              (Bytes{1, 2, 3, 4, 0x01, 0, 0, 0, 0xD4, 0xC3, 0xB2, 0xA1, 0x42, 0, 0, 0, 0}));
}

TEST(ChunkWriter, WriteStreamAtReturnsToThePositionItFound)
{
    MemoryFixture out;
    ChunkWriter<BlockParamChunk> list(out.memory);
    const std::uint8_t bytes[4] = {0, 0, 0, 0};
    ASSERT_EQ(out.memory->Write(bytes, 4, nullptr), platform::S_OK);
    const std::uint8_t patch[2] = {0xAA, 0xBB};
    ASSERT_TRUE(dsp::WriteStreamAt(list, 1, patch, 2));
    EXPECT_EQ(out.memory->Position(), 4u);
    EXPECT_EQ(out.memory->Bytes(), (Bytes{0, 0xAA, 0xBB, 0}));
}

TEST(ChunkWriter, AFullInplaceBufferFailsTheWriteThatOverflows)
{
    std::uint8_t buffer[4] = {};
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    ChunkWriter<BlockParamChunk> list(&stream);
    ChunkWriter<BlockParamChunk> unit;
    ASSERT_TRUE(dsp::OpenChunk(unit, 0x90, list));
    ASSERT_TRUE(dsp::WriteChunkU8(unit, 7));
    ASSERT_TRUE(dsp::CloseChunk(unit));
    // Only 4 bytes fit: the terminator cannot be written.
    EXPECT_FALSE(dsp::CloseChunk(list));
    EXPECT_TRUE(list.HasFailed());
}

TEST(ChunkWriter, AFailedListGetsNoTerminatorWhenItGoesOutOfScope)
{
    std::uint8_t buffer[16] = {};
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    {
        ChunkWriter<BlockParamChunk> list(&stream);
        ChunkWriter<BlockParamChunk> unit;
        ASSERT_TRUE(dsp::OpenChunk(unit, 0x90, list));
        ASSERT_TRUE(dsp::WriteChunkU8(unit, 7));
        EXPECT_FALSE(dsp::WriteChunkU8(list, 1));
    }
    // The open chunk was closed, but the failed list did not end itself: a reader of this
    // blob fails at the missing terminator instead of taking it as complete.
    EXPECT_EQ(Bytes(buffer, buffer + stream.Size()), (Bytes{0x01, 0x00, 0x90, 0x07}));
}

TEST(ChunkWriter, AStreamReferenceIsHeldWhileAWriterLives)
{
    std::uint8_t buffer[8] = {};
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    {
        ChunkWriter<BlockParamChunk> list(&stream);
        ChunkWriter<BlockParamChunk> unit;
        ASSERT_TRUE(dsp::OpenChunk(unit, 0x90, list));
        EXPECT_EQ(stream.AddRef(), 3u);
        EXPECT_EQ(stream.Release(), 2u);
    }
    EXPECT_EQ(stream.AddRef(), 1u);
    EXPECT_EQ(stream.Release(), 0u);
}

}  // namespace
