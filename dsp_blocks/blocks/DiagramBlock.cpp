// Description lines, selection, hit tests and blob storage of a diagram block.
#include "dsp_blocks/blocks/DiagramBlock.h"

#include "platform/base/TextTokenizer.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/blocks/TextUtilities.h"

namespace {

// Fields of a description line end at a tab or a line feed.
constexpr std::string_view kFieldDelimiters = "\t\n";

}  // namespace

DiagramBlock::~DiagramBlock()
{
    SetAmplifier(nullptr);
}

void DiagramBlock::ParseDescription(std::u16string_view line)
{
    TextCursor16 cursor(line);
    stage = NextInt(cursor, kFieldDelimiters);
    channel = NextInt(cursor, kFieldDelimiters);
    inputCount = NextInt(cursor, kFieldDelimiters);
    outputCount = NextInt(cursor, kFieldDelimiters);
    pinPitch = NextInt(cursor, kFieldDelimiters);
    NextInt(cursor, kFieldDelimiters);  // read and dropped
    auxValue = NextInt(cursor, kFieldDelimiters);
    type = static_cast<BlockType>(NextInt(cursor, kFieldDelimiters));
    flags = ParseHex(NextToken(cursor, kFieldDelimiters));
    name = NextToken(cursor, kFieldDelimiters);
    colourA = NextColor(cursor);
    colourB = NextColor(cursor);
    colourC = NextColor(cursor);
    NextToken(cursor, kFieldDelimiters);  // read and dropped
    colourD = NextColor(cursor);
    colourE = NextColor(cursor);
    extent = NextInt(cursor, kFieldDelimiters);
    const auto [first, second] = NextIntPair(cursor);
    extraPair[0] = first;
    extraPair[1] = second;
}

bool DiagramBlock::HitTest(std::int32_t x, std::int32_t y) const
{
    if (!IsHitTestable()) {
        return false;
    }
    return PtInRect(bodyRect, x, y) || PtInRect(pinRect, x, y);
}

bool DiagramBlock::IntersectsRect(const Rect& rect) const
{
    const Rect area = NormalizeRect(UnionRect(bodyRect, pinRect));
    Rect common;
    return IntersectRect(common, area, rect);
}

void DiagramBlock::Offset(std::int32_t dx, std::int32_t dy)
{
    OffsetRect(bodyRect, dx, dy);
    OffsetRect(pinRect, dx, dy);
    OffsetRect(selRect, dx, dy);
}

bool DiagramBlock::SetState(std::uint8_t state, Rect& outRect, bool respectExclusion)
{
    if (respectExclusion && (flags & BlockFlag::kNoRubberBandOrToggle) != 0) {
        return false;
    }
    if ((flags & BlockFlag::kSelectionLocked) != 0 || selected == state) {
        return false;
    }
    selected = state;
    outRect = selRect;
    return true;
}

bool DiagramBlock::ClearState()
{
    if ((flags & BlockFlag::kSelectionLocked) != 0 || selected == 0) {
        return false;
    }
    selected = 0;
    return true;
}

void DiagramBlock::ToggleState(Rect& outRect)
{
    if ((flags & BlockFlag::kNoRubberBandOrToggle) != 0) {
        return;
    }
    selected = selected == 0 ? 1 : 0;
    outRect = selRect;
}

bool DiagramBlock::GetFlagNibble24(std::uint32_t& out) const
{
    out = (flags & BlockFlag::kFrameGroupMask) >> BlockFlag::kFrameGroupShift;
    return out != 0;
}

std::uint32_t DiagramBlock::GetParamBlob(const std::uint8_t*& outPointer) const
{
    if (paramBlob.Empty()) {
        outPointer = nullptr;
        return 0;
    }
    outPointer = paramBlob.Data();
    return paramBlob.Size();
}

void DiagramBlock::SetParamBlob(const std::uint8_t* data, std::uint32_t size)
{
    paramBlob.Assign(data, size);
}

void DiagramBlock::SetBlockBlobs(std::span<const std::uint8_t> coef,
                                 std::span<const std::uint8_t> param)
{
    coefBlob.Assign(coef);
    paramBlob.Assign(param);
    if (amp != nullptr) {
        // A refusal (bad size or channel) leaves the amplifier's image as it was; the
        // blobs stay stored here and travel with the next whole upload.
        amp->SetBlockParam(static_cast<std::int32_t>(type), channel, coefBlob.Data(),
                           coefBlob.Size(), paramBlob.Data(), paramBlob.Size());
    }
}

bool DiagramBlock::ApplyBlobToController(const std::uint8_t* data, std::uint32_t size)
{
    if (controller == nullptr) {
        return false;
    }
    return controller->ApplyBlob(channel, data, size);
}

void DiagramBlock::SetAmplifier(CobaltDeviceManager::ICobaltAmplifier* amplifier)
{
    if (amplifier != nullptr) {
        amplifier->AddRef();
    }
    CobaltDeviceManager::ICobaltAmplifier* old = amp;
    amp = amplifier;
    if (old != nullptr) {
        old->Release();
    }
}
