// The parameter-blob writer and reader over the chunk codec.
#include <gtest/gtest.h>

#include <vector>

#include "BlobBytes.h"
#include "dsp_blocks/blocks/ParamBlob.h"

TEST(ParamBlobWriter, NestedChunksCountTheirHeadersInTheParent)
{
    ParamBlobWriter writer(64);
    ASSERT_TRUE(writer.Open(0xF0));
    ASSERT_TRUE(writer.WriteU8(1));
    ASSERT_TRUE(writer.Open(0xE1));
    ASSERT_TRUE(writer.WriteF32(2.5f));
    ASSERT_TRUE(writer.Close());
    ASSERT_TRUE(writer.Close());
    ASSERT_TRUE(writer.Open(0x80));
    const std::uint8_t name[] = {'F', 'l', 'a', 't'};
    ASSERT_TRUE(writer.WriteBytes(name, 4));
    ASSERT_TRUE(writer.WriteU32(0x01020304));
    ASSERT_TRUE(writer.Close());
    const auto blob = writer.Finish();
    ASSERT_TRUE(blob.has_value());
    EXPECT_EQ(*blob, List({Chunk(0xF0, Cat({Bytes{1}, Chunk(0xE1, F32(2.5f))})),
                           Chunk(0x80, Cat({Bytes{'F', 'l', 'a', 't'}, U32(0x01020304)}))}));
}

TEST(ParamBlobWriter, FullBufferOrOpenChunkGivesNoBlob)
{
    ParamBlobWriter small(6);
    EXPECT_TRUE(small.Open(0x90));
    EXPECT_FALSE(small.WriteU32(7));  // header 3 + 4 bytes do not fit in 6
    EXPECT_FALSE(small.Close());
    EXPECT_FALSE(small.Finish().has_value());

    ParamBlobWriter unclosed(64);
    EXPECT_TRUE(unclosed.Open(0x90));
    EXPECT_FALSE(unclosed.Finish().has_value());

    ParamBlobWriter tooManyCloses(64);
    EXPECT_FALSE(tooManyCloses.Close());
    EXPECT_FALSE(tooManyCloses.Finish().has_value());
}

TEST(ParamBlobReader, WalksTopLevelAndNestedChunksAndSkipsUnreadPayload)
{
    const Bytes blob = List({Chunk(0x10, Bytes{1, 2, 3}), Chunk(0xF0, Cat({Bytes{9}, Chunk(0xE1, Bytes{4}), Chunk(0xE2, Bytes{5})})),
                             Chunk(0x80, Bytes{'a', 'b'})});
    std::vector<std::uint8_t> seen;
    const bool ok = ReadParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()), [&seen](ParamChunk& chunk) {
        seen.push_back(chunk.Tag());
        if (chunk.Tag() == 0xF0) {
            std::uint8_t index = 0;
            if (!chunk.ReadU8(index)) {
                return false;
            }
            seen.push_back(index);
            return chunk.ForEachNested([&seen](ParamChunk& nested) {
                seen.push_back(nested.Tag());
                std::uint8_t value = 0;
                if (!nested.ReadU8(value)) {
                    return false;
                }
                seen.push_back(value);
                return true;
            });
        }
        if (chunk.Tag() == 0x80) {
            EXPECT_EQ(chunk.Remaining(), 2u);
            std::uint8_t text[2] = {};
            if (!chunk.ReadBytes(text, 2)) {
                return false;
            }
            seen.push_back(text[1]);
            std::uint8_t more = 0;
            EXPECT_FALSE(chunk.ReadU8(more));  // payload used up
        }
        return true;  // 0x10 is left unread and skipped
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(seen, (std::vector<std::uint8_t>{0x10, 0xF0, 9, 0xE1, 4, 0xE2, 5, 0x80, 'b'}));
}

TEST(ParamBlobReader, MissingTerminatorOrOversizedLengthFails)
{
    const auto accept = [](ParamChunk&) { return true; };
    const Bytes noTerminator = Chunk(0x90, Bytes{7});
    EXPECT_FALSE(ReadParamBlob(noTerminator.data(), static_cast<std::uint32_t>(noTerminator.size()), accept));
    const Bytes tooLong{0x09, 0x00, 0x90, 0x07, 0x00, 0x00};
    EXPECT_FALSE(ReadParamBlob(tooLong.data(), static_cast<std::uint32_t>(tooLong.size()), accept));
    const Bytes empty;
    EXPECT_FALSE(ReadParamBlob(empty.data(), 0, accept));
    const Bytes terminatorOnly{0x00, 0x00};
    EXPECT_TRUE(ReadParamBlob(terminatorOnly.data(), 2, accept));
}

TEST(ParamBlobReader, HandlerRefusalFailsTheWalk)
{
    const Bytes blob = List({Chunk(0x90, Bytes{7})});
    EXPECT_FALSE(ReadParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size()), [](ParamChunk&) { return false; }));
}
