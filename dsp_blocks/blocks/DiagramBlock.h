// One block of the design: its place and look in the block diagram, its kind and
// channel, and the two blobs (coefficients for the amplifier, parameters in the chunk
// encoding) that its controller keeps up to date.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "dsp_blocks/blocks/BlockTypes.h"
#include "dsp_blocks/blocks/ByteBlob.h"
#include "dsp_blocks/blocks/Rect.h"

namespace CobaltDeviceManager {
class ICobaltAmplifier;
}

class CController;

// Bits of DiagramBlock::flags.
namespace BlockFlag {
inline constexpr std::uint32_t kInputLabelsAreLetters = 0x1;    // bit 0
inline constexpr std::uint32_t kOutputLabelsAreLetters = 0x2;   // bit 1
inline constexpr std::uint32_t kPassive = 0x20;                 // bit 5: never hit, not drawn
inline constexpr std::uint32_t kSelectionLocked = 0x100;        // bit 8
inline constexpr std::uint32_t kNoCopy = 0x200;                 // bit 9
inline constexpr std::uint32_t kNoRubberBandOrToggle = 0x400;   // bit 10
inline constexpr std::uint32_t kInputPinStub = 0x1000;          // bit 12
inline constexpr std::uint32_t kFrameSelectedLook = 0x10000;    // bit 16
inline constexpr std::uint32_t kGrouped = 0x20000;              // bit 17: one controller per type
inline constexpr std::uint32_t kFrameGroupMask = 0x0F000000;    // bits 24-27
inline constexpr int kFrameGroupShift = 24;
}  // namespace BlockFlag

// Colours are 32-bit words with red in the low byte.
using Colour = std::uint32_t;

class DiagramBlock {
public:
    DiagramBlock() = default;
    // Releases the amplifier reference.
    ~DiagramBlock();
    DiagramBlock(const DiagramBlock&) = delete;
    DiagramBlock& operator=(const DiagramBlock&) = delete;

    // Fills the record from one tab-separated line of a block-diagram file. Fields past
    // the end of the line read as 0 (and an empty name).
    void ParseDescription(std::u16string_view line);

    // False for a passive block; else whether the point lies in bodyRect or pinRect.
    bool HitTest(std::int32_t x, std::int32_t y) const;
    // Whether rect overlaps the (normalised) union of bodyRect and pinRect.
    bool IntersectsRect(const Rect& rect) const;
    // Moves bodyRect, pinRect and selRect.
    void Offset(std::int32_t dx, std::int32_t dy);

    // Sets the selection state; false (nothing changed, outRect untouched) when the
    // selection is locked, when respectExclusion is set on an excluded block, or when the
    // state is already that. Otherwise outRect receives selRect for invalidation.
    bool SetState(std::uint8_t state, Rect& outRect, bool respectExclusion);
    // Clears the selection; false when it is locked or not set.
    bool ClearState();
    // Inverts the selection unless the block is excluded from toggling (bit 10).
    void ToggleState(Rect& outRect);
    void SetSelectionRect(const Rect& rect) { selRect = rect; }
    const Rect& GetSelectionRect() const { return selRect; }

    bool IsGrouped() const { return (flags & BlockFlag::kGrouped) != 0; }
    bool GetFlagBit0() const { return (flags & BlockFlag::kInputLabelsAreLetters) != 0; }
    bool GetFlagBit1() const { return (flags & BlockFlag::kOutputLabelsAreLetters) != 0; }
    bool GetFlagBit12() const { return (flags & BlockFlag::kInputPinStub) != 0; }
    bool GetFlagBit16() const { return (flags & BlockFlag::kFrameSelectedLook) != 0; }
    bool IsHitTestable() const { return (flags & BlockFlag::kPassive) == 0; }
    bool IsFlagBit9Clear() const { return (flags & BlockFlag::kNoCopy) == 0; }
    // Stores bits 24-27 in out; true when they are not zero.
    bool GetFlagNibble24(std::uint32_t& out) const;

    // Size of the parameter blob and its data in outPointer (0 and null when empty).
    std::uint32_t GetParamBlob(const std::uint8_t*& outPointer) const;
    ByteBlob& GetParamBlobPtr() { return paramBlob; }
    // Stores parameter bytes without any device traffic.
    void SetParamBlob(const std::uint8_t* data, std::uint32_t size);

    // Stores both blobs and, while an amplifier is online, queues them for writing to it.
    void SetBlockBlobs(std::span<const std::uint8_t> coef, std::span<const std::uint8_t> param);

    // Hands a pasted parameter blob to the block's controller; false without one.
    bool ApplyBlobToController(const std::uint8_t* data, std::uint32_t size);

    // Takes a reference to amplifier (may be null) and releases the one held before.
    void SetAmplifier(CobaltDeviceManager::ICobaltAmplifier* amplifier);
    CobaltDeviceManager::ICobaltAmplifier* GetAmplifier() const { return amp; }

    Rect bodyRect{};
    std::u16string name;
    Colour colourA = 0xB491A0;
    Colour colourC = 0;
    Colour colourB = 0;
    Rect pinRect{};
    std::u16string label2;  // speaker-EQ blocks: the applied preset's name
    Colour colourD = 0xDCDCDC;
    Colour colourE = 0;
    Rect selRect{};
    std::int32_t inputCount = 1;
    std::int32_t outputCount = 1;
    std::int32_t pinPitch = 0;
    std::int32_t extent = 50;
    std::int32_t extraPair[2] = {0, 0};
    std::int32_t channel = 0;
    std::int32_t stage = 0;
    std::int32_t auxValue = 0;  // read from the description line and kept
    BlockType type = BlockType::None;
    std::uint32_t flags = 0;
    std::uint8_t selected = 0;
    CController* controller = nullptr;  // not owned
    std::uint8_t polarityMark = 0;      // output-gain blocks: 0 "P(+)", other "P(-)"
    ByteBlob coefBlob;
    ByteBlob paramBlob;

private:
    CobaltDeviceManager::ICobaltAmplifier* amp = nullptr;  // one reference held
};
