// The diagram block record: description lines, flags, selection, hit tests, blobs and
// the forwarding of blobs to an online amplifier.
#include <gtest/gtest.h>

#include <array>

#include "TestDoubles.h"
#include "dsp_blocks/blocks/ByteBlob.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/Rect.h"

namespace {

constexpr Colour Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return r + g * 256 + b * 65536;
}

}  // namespace

TEST(DiagramBlockDescription, ExampleLineGivesStageChannelTypeAndFlags)
{
    DiagramBlock block;
    block.ParseDescription(u"1\t0\t1\t1\t12\t0\t0\t2\t0x20000\tInput EQ 1\t180,145,160\t10,20,30\t"
                           u"40,50,60\tignored\t1,2,3\t4,5,6\t70\t8,9");
    EXPECT_EQ(block.stage, 1);
    EXPECT_EQ(block.channel, 0);
    EXPECT_EQ(block.inputCount, 1);
    EXPECT_EQ(block.outputCount, 1);
    EXPECT_EQ(block.pinPitch, 12);
    EXPECT_EQ(block.auxValue, 0);
    EXPECT_EQ(block.type, BlockType::InputEQ);
    EXPECT_EQ(block.flags, 0x20000u);
    EXPECT_TRUE(block.IsGrouped());
    EXPECT_EQ(block.name, u"Input EQ 1");
    EXPECT_EQ(block.colourA, Rgb(180, 145, 160));
    EXPECT_EQ(block.colourB, Rgb(10, 20, 30));
    EXPECT_EQ(block.colourC, Rgb(40, 50, 60));
    EXPECT_EQ(block.colourD, Rgb(1, 2, 3));
    EXPECT_EQ(block.colourE, Rgb(4, 5, 6));
    EXPECT_EQ(block.extent, 70);
    EXPECT_EQ(block.extraPair[0], 8);
    EXPECT_EQ(block.extraPair[1], 9);
}

TEST(DiagramBlockDescription, FlagFieldIsHexadecimalWithOrWithoutPrefix)
{
    DiagramBlock block;
    block.ParseDescription(u"3\t2\t1\t1\t0\t0\t5\t7\t 20000 \tDelay");
    EXPECT_EQ(block.flags, 0x20000u);
    EXPECT_EQ(block.type, BlockType::Delay);
    EXPECT_EQ(block.channel, 2);
    EXPECT_EQ(block.auxValue, 5);
    block.ParseDescription(u"3\t2\t1\t1\t0\t0\t5\t7\t1G\tDelay");
    EXPECT_EQ(block.flags, 0u);
}

TEST(DiagramBlockDescription, ShortLineReadsZeroForEveryMissingField)
{
    DiagramBlock block;
    block.ParseDescription(u"4\t1");
    EXPECT_EQ(block.stage, 4);
    EXPECT_EQ(block.channel, 1);
    EXPECT_EQ(block.inputCount, 0);
    EXPECT_EQ(block.outputCount, 0);
    EXPECT_EQ(block.type, BlockType::None);
    EXPECT_EQ(block.flags, 0u);
    EXPECT_TRUE(block.name.empty());
    EXPECT_EQ(block.colourA, 0u);
    EXPECT_EQ(block.extent, 0);
}

TEST(DiagramBlockDescription, ConstructionDefaults)
{
    DiagramBlock block;
    EXPECT_EQ(block.colourA, 0xB491A0u);
    EXPECT_EQ(block.colourD, 0xDCDCDCu);
    EXPECT_EQ(block.inputCount, 1);
    EXPECT_EQ(block.outputCount, 1);
    EXPECT_EQ(block.extent, 50);
    EXPECT_EQ(block.selected, 0);
    EXPECT_EQ(block.controller, nullptr);
    EXPECT_EQ(block.GetAmplifier(), nullptr);
    EXPECT_TRUE(block.paramBlob.Empty());
}

TEST(DiagramBlockFlags, EachAccessorReadsItsBit)
{
    DiagramBlock block;
    block.flags = 0x1 | 0x1000 | 0x0A000000;
    EXPECT_TRUE(block.GetFlagBit0());
    EXPECT_FALSE(block.GetFlagBit1());
    EXPECT_TRUE(block.GetFlagBit12());
    EXPECT_FALSE(block.GetFlagBit16());
    EXPECT_TRUE(block.IsHitTestable());
    EXPECT_TRUE(block.IsFlagBit9Clear());
    std::uint32_t nibble = 0;
    EXPECT_TRUE(block.GetFlagNibble24(nibble));
    EXPECT_EQ(nibble, 0xAu);

    block.flags = 0x2 | 0x20 | 0x200 | 0x10000;
    EXPECT_TRUE(block.GetFlagBit1());
    EXPECT_TRUE(block.GetFlagBit16());
    EXPECT_FALSE(block.IsHitTestable());
    EXPECT_FALSE(block.IsFlagBit9Clear());
    EXPECT_FALSE(block.GetFlagNibble24(nibble));
    EXPECT_EQ(nibble, 0u);
}

TEST(DiagramBlockSelection, SetStateCopiesSelectionRectOnlyOnChange)
{
    DiagramBlock block;
    block.SetSelectionRect(Rect{1, 2, 3, 4});
    Rect out{9, 9, 9, 9};
    EXPECT_FALSE(block.SetState(0, out, false));
    EXPECT_EQ(out, (Rect{9, 9, 9, 9}));
    EXPECT_TRUE(block.SetState(1, out, false));
    EXPECT_EQ(out, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(block.selected, 1);
    EXPECT_TRUE(block.ClearState());
    EXPECT_FALSE(block.ClearState());
}

TEST(DiagramBlockSelection, LockedSelectionNeitherGainedNorLostButToggles)
{
    DiagramBlock block;
    block.flags = 0x100;
    Rect out;
    EXPECT_FALSE(block.SetState(1, out, false));
    EXPECT_EQ(block.selected, 0);
    block.ToggleState(out);
    EXPECT_EQ(block.selected, 1);
    EXPECT_FALSE(block.ClearState());
    EXPECT_FALSE(block.SetState(0, out, false));
    EXPECT_EQ(block.selected, 1);
}

TEST(DiagramBlockSelection, ExcludedBlockRefusesRubberBandAndToggle)
{
    DiagramBlock block;
    block.flags = 0x400;
    block.SetSelectionRect(Rect{0, 0, 5, 5});
    Rect out{7, 7, 7, 7};
    EXPECT_FALSE(block.SetState(1, out, true));
    block.ToggleState(out);
    EXPECT_EQ(block.selected, 0);
    EXPECT_EQ(out, (Rect{7, 7, 7, 7}));
    EXPECT_TRUE(block.SetState(1, out, false));
    EXPECT_EQ(block.selected, 1);
}

TEST(DiagramBlockHitTest, PointInBodyOrPinsRightAndBottomExclusive)
{
    DiagramBlock block;
    block.bodyRect = Rect{10, 10, 20, 20};
    block.pinRect = Rect{20, 12, 24, 18};
    EXPECT_TRUE(block.HitTest(10, 10));
    EXPECT_TRUE(block.HitTest(19, 19));
    EXPECT_FALSE(block.HitTest(20, 20));
    EXPECT_TRUE(block.HitTest(22, 15));
    EXPECT_FALSE(block.HitTest(24, 15));
}

TEST(DiagramBlockHitTest, PassiveBlockIsNeverHit)
{
    DiagramBlock block;
    block.bodyRect = Rect{0, 0, 10, 10};
    block.pinRect = Rect{0, 0, 10, 10};
    block.flags = 0x20;
    EXPECT_FALSE(block.HitTest(5, 5));
}

TEST(DiagramBlockHitTest, IntersectsPinAreaButNotAnEdgeTouch)
{
    DiagramBlock block;
    block.bodyRect = Rect{10, 10, 20, 20};
    block.pinRect = Rect{20, 10, 30, 20};
    EXPECT_TRUE(block.IntersectsRect(Rect{25, 0, 40, 15}));
    EXPECT_FALSE(block.IntersectsRect(Rect{30, 10, 40, 20}));
    EXPECT_FALSE(block.IntersectsRect(Rect{0, 20, 40, 30}));
}

TEST(DiagramBlockHitTest, UnionPassesOverAnEmptyPinRect)
{
    DiagramBlock block;
    block.bodyRect = Rect{10, 10, 20, 20};
    block.pinRect = Rect{};  // would stretch the union to the origin if counted
    EXPECT_FALSE(block.IntersectsRect(Rect{0, 0, 5, 5}));
    EXPECT_TRUE(block.IntersectsRect(Rect{15, 15, 16, 16}));
    EXPECT_EQ(UnionRect(Rect{}, Rect{}), Rect{});
    EXPECT_EQ(UnionRect(Rect{1, 1, 2, 2}, Rect{5, 5, 5, 9}), (Rect{1, 1, 2, 2}));
}

TEST(DiagramBlockHitTest, OffsetMovesAllThreeRectangles)
{
    DiagramBlock block;
    block.bodyRect = Rect{0, 0, 10, 10};
    block.pinRect = Rect{10, 0, 12, 10};
    block.SetSelectionRect(Rect{-1, -1, 13, 11});
    block.Offset(5, -2);
    EXPECT_EQ(block.bodyRect, (Rect{5, -2, 15, 8}));
    EXPECT_EQ(block.pinRect, (Rect{15, -2, 17, 8}));
    EXPECT_EQ(block.GetSelectionRect(), (Rect{4, -3, 18, 9}));
}

TEST(ByteBlobAssignment, SmallerKeepsTheBufferLargerReplacesItExactly)
{
    const std::array<std::uint8_t, 8> eight{1, 2, 3, 4, 5, 6, 7, 8};
    ByteBlob blob(eight.data(), 6);
    EXPECT_EQ(blob.Capacity(), 6u);
    const std::uint8_t* buffer = blob.Data();
    blob.Assign(eight.data(), 3);
    EXPECT_EQ(blob.Data(), buffer);
    EXPECT_EQ(blob.Size(), 3u);
    EXPECT_EQ(blob.Capacity(), 6u);
    blob.Assign(eight.data(), 8);
    EXPECT_EQ(blob.Size(), 8u);
    EXPECT_EQ(blob.Capacity(), 8u);
    EXPECT_EQ(blob.Data()[7], 8);
}

TEST(ByteBlobAssignment, AssigningFromItsOwnBytesIsSafe)
{
    const std::array<std::uint8_t, 4> bytes{1, 2, 3, 4};
    ByteBlob blob(bytes.data(), 4);
    blob.Assign(blob.Data() + 1, 3);
    EXPECT_EQ(blob.Size(), 3u);
    EXPECT_EQ(blob.Data()[0], 2);
    EXPECT_EQ(blob.Data()[2], 4);
}

TEST(DiagramBlockBlobs, GetParamBlobOfAnEmptyBlobIsZeroAndNull)
{
    DiagramBlock block;
    const std::uint8_t* data = reinterpret_cast<const std::uint8_t*>(&block);
    EXPECT_EQ(block.GetParamBlob(data), 0u);
    EXPECT_EQ(data, nullptr);
    const std::array<std::uint8_t, 2> bytes{5, 6};
    block.SetParamBlob(bytes.data(), 2);
    EXPECT_EQ(block.GetParamBlob(data), 2u);
    EXPECT_EQ(data[1], 6);
}

TEST(DiagramBlockBlobs, SetBlockBlobsOfflineOnlyStores)
{
    DiagramBlock block;
    const std::array<std::uint8_t, 1> coef{1};
    const std::array<std::uint8_t, 2> param{2, 3};
    block.SetBlockBlobs(coef, param);
    EXPECT_EQ(block.coefBlob.Size(), 1u);
    EXPECT_EQ(block.paramBlob.Size(), 2u);
}

TEST(DiagramBlockBlobs, SetBlockBlobsOnlineForwardsTypeChannelAndBothBlobs)
{
    RecordingAmplifier amp;
    {
        DiagramBlock block;
        block.type = BlockType::Delay;
        block.channel = 3;
        block.SetAmplifier(&amp);
        EXPECT_EQ(amp.refs, 1u);
        const std::array<std::uint8_t, 4> coef{0xF8, 1, 0, 0};
        const std::array<std::uint8_t, 3> param{9, 8, 7};
        block.SetBlockBlobs(coef, param);
        ASSERT_EQ(amp.queued.size(), 1u);
        EXPECT_EQ(amp.queued[0].type, 7);
        EXPECT_EQ(amp.queued[0].channel, 3);
        EXPECT_EQ(amp.queued[0].coefficients, std::vector<std::uint8_t>(coef.begin(), coef.end()));
        EXPECT_EQ(amp.queued[0].parameters, std::vector<std::uint8_t>(param.begin(), param.end()));
        block.SetAmplifier(nullptr);
        EXPECT_EQ(amp.refs, 0u);
        block.SetAmplifier(&amp);
    }
    EXPECT_EQ(amp.refs, 0u);  // the block's destruction released its reference
}

TEST(DiagramBlockBlobs, PasteWithoutControllerIsRefused)
{
    DiagramBlock block;
    const std::array<std::uint8_t, 2> blob{0, 0};
    EXPECT_FALSE(block.ApplyBlobToController(blob.data(), 2));
}
