// Chunk reader: every byte read or skipped inside a chunk is charged to each enclosing
// chunk, so every level knows exactly what is left of its payload.
#include <algorithm>
#include <bit>
#include <limits>
#include <new>

#include "dsp_blocks/chunks/ChunkAccess.h"

namespace dsp {

using platform::ByteStream;
using platform::SeekOrigin;
using platform::StreamResult;

namespace {

constexpr std::uint64_t kLargestSeek = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

bool StreamPosition(ByteStream* stream, std::uint64_t& position)
{
    return stream != nullptr && platform::Succeeded(stream->Seek(0, SeekOrigin::Current, &position));
}

bool StreamSeek(ByteStream* stream, std::uint64_t position)
{
    return stream != nullptr && position <= kLargestSeek &&
           platform::Succeeded(stream->Seek(static_cast<std::int64_t>(position), SeekOrigin::Begin, nullptr));
}

// Whether `end` lies within the stream. Streams that report their size are asked; for
// those that do not (the in-memory read stream), a seek there and back tells, since such
// streams refuse a position past their end.
bool StreamReaches(ByteStream* stream, std::uint64_t here, std::uint64_t end)
{
    std::uint64_t size = 0;
    if (platform::Succeeded(stream->Stat(&size))) {
        return end <= size;
    }
    return StreamSeek(stream, end) && StreamSeek(stream, here);
}

}  // namespace

template <class Kind>
ByteStream* ChunkAccess<Kind>::RootStream(const Reader& reader)
{
    const Reader* level = &reader;
    while (level->parent_ != nullptr) {
        level = level->parent_;
    }
    return level->stream_.Get();
}

// Once a read fails the stream position no longer matches what any enclosing level
// expects, so the whole chain stops reading.
template <class Kind>
void ChunkAccess<Kind>::FailChain(Reader& reader)
{
    for (Reader* level = &reader; level != nullptr; level = level->parent_) {
        level->failed_ = true;
    }
}

// Reads n bytes that belong to the payload of the reader's parent (or, at stream level, to
// the stream) and charges them to every enclosing level.
template <class Kind>
bool ChunkAccess<Kind>::ReadInParent(Reader& reader, void* dst, std::uint32_t n)
{
    Reader* parent = reader.parent_;
    if (parent == nullptr) {
        ByteStream* stream = reader.stream_.Get();
        std::uint32_t got = 0;
        if (stream == nullptr || platform::Failed(stream->Read(dst, n, &got)) || got != n) {
            FailChain(reader);
            return false;
        }
        return true;
    }
    if (parent->failed_ || AtEnd(*parent) || n > parent->remaining_) {
        return false;
    }
    if (!ReadInParent(*parent, dst, n)) {
        FailChain(reader);
        return false;
    }
    parent->remaining_ = static_cast<Length>(parent->remaining_ - n);
    return true;
}

template <class Kind>
bool ChunkAccess<Kind>::ReadHeader(Reader& reader)
{
    if (reader.failed_ || reader.closed_) {
        return false;
    }
    if (reader.HeaderRead()) {
        return true;
    }
    ByteStream* stream = RootStream(reader);
    Reader* parent = reader.parent_;
    if (parent != nullptr) {
        if (parent->failed_) {
            reader.failed_ = true;
            return false;
        }
        // A nested list has no terminator: it ends where its parent's payload ends.
        if (AtEnd(*parent)) {
            if (!StreamPosition(stream, reader.end_)) {
                FailChain(reader);
                return false;
            }
            reader.remaining_ = 0;
            return true;
        }
        if (parent->failed_) {
            reader.failed_ = true;
            return false;
        }
    }

    std::uint8_t lengthBytes[sizeof(Length)];
    if (!ReadInParent(reader, lengthBytes, sizeof lengthBytes)) {
        FailChain(reader);
        return false;
    }
    const Length length = platform::LoadLittleEndian<Length>(lengthBytes);
    std::uint64_t here = 0;
    if (length == kChunkUnreadMarker<Kind> || !StreamPosition(stream, here)) {
        FailChain(reader);
        return false;
    }
    if (length == 0) {
        reader.end_ = here;
        reader.remaining_ = 0;
        return true;
    }

    const std::uint64_t chunkRest = std::uint64_t{sizeof(Tag)} + length;
    const bool fits = parent != nullptr ? chunkRest <= parent->remaining_
                                        : chunkRest <= kLargestSeek - here && StreamReaches(stream, here, here + chunkRest);
    if (!fits) {
        FailChain(reader);
        return false;
    }
    std::uint8_t tagBytes[sizeof(Tag)];
    if (!ReadInParent(reader, tagBytes, sizeof tagBytes)) {
        FailChain(reader);
        return false;
    }
    reader.tag_ = platform::LoadLittleEndian<Tag>(tagBytes);
    reader.end_ = here + chunkRest;
    reader.remaining_ = length;
    return true;
}

template <class Kind>
ChunkReader<Kind>::ChunkReader(ByteStream* stream) : stream_(stream)
{
    if (stream == nullptr) {
        failed_ = true;
    }
}

template <class Kind>
ChunkReader<Kind>::ChunkReader(ChunkReader& parent) : parent_(&parent)
{
}

template <class Kind>
ChunkReader<Kind>::~ChunkReader()
{
    CloseChunkReader(*this);
}

bool ReadChunkHeader(ChunkReader<BlockParamChunk>& reader)
{
    return ChunkAccess<BlockParamChunk>::ReadHeader(reader);
}

bool ReadChunkHeader16(ChunkReader<SettingsChunk>& reader)
{
    return ChunkAccess<SettingsChunk>::ReadHeader(reader);
}

bool BeginChunkRead(ChunkReader<ProjectChunk>& reader)
{
    return ChunkAccess<ProjectChunk>::ReadHeader(reader);
}

template <class Kind>
bool ReadChunkBytes(ChunkReader<Kind>& reader, void* dst, std::uint32_t n)
{
    if (!ChunkAccess<Kind>::ReadHeader(reader) || n > reader.Remaining() || (dst == nullptr && n != 0)) {
        return false;
    }
    if (n == 0) {
        return true;
    }
    return ChunkAccess<Kind>::ReadPayload(reader, dst, n);
}

template <class Kind>
bool ChunkAccess<Kind>::ReadPayload(Reader& reader, void* dst, std::uint32_t n)
{
    if (!ReadInParent(reader, dst, n)) {
        FailChain(reader);
        return false;
    }
    reader.remaining_ = static_cast<Length>(reader.remaining_ - n);
    return true;
}

template <class Kind>
bool ReadChunkPayload(ChunkReader<Kind>& reader, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (!ChunkAccess<Kind>::ReadHeader(reader)) {
        return false;
    }
    // Grown piece by piece as bytes arrive: a stream that cannot tell its size lets a
    // length through unchecked, and even then the allocation follows the real data.
    constexpr std::uint32_t kPiece = 0x10000;
    while (reader.Remaining() > 0) {
        const std::uint32_t n = std::min<std::uint32_t>(reader.Remaining(), kPiece);
        const std::size_t offset = out.size();
        try {
            out.resize(offset + n);
        } catch (const std::bad_alloc&) {
            out.clear();
            return false;
        }
        if (!ReadChunkBytes(reader, out.data() + offset, n)) {
            out.clear();
            return false;
        }
    }
    return true;
}

template <class Kind>
bool IsChunkAtEnd(ChunkReader<Kind>& reader)
{
    return ChunkAccess<Kind>::AtEnd(reader);
}

template <class Kind>
bool ChunkAccess<Kind>::AtEnd(Reader& reader)
{
    if (reader.failed_ || reader.closed_) {
        return false;
    }
    if (!reader.HeaderRead()) {
        if (reader.parent_ != nullptr && AtEnd(*reader.parent_)) {
            return true;
        }
        if (!ReadHeader(reader)) {
            return false;
        }
    }
    return reader.remaining_ == 0;
}

template <class Kind>
bool ReadChunkU8(ChunkReader<Kind>& reader, std::uint8_t& out)
{
    return ReadChunkBytes(reader, &out, 1);
}

template <class Kind>
bool ReadChunkU16(ChunkReader<Kind>& reader, std::uint16_t& out)
{
    std::uint8_t bytes[2];
    if (!ReadChunkBytes(reader, bytes, sizeof bytes)) {
        return false;
    }
    out = platform::LoadLittleEndian<std::uint16_t>(bytes);
    return true;
}

template <class Kind>
bool ReadChunkU32(ChunkReader<Kind>& reader, std::uint32_t& out)
{
    std::uint8_t bytes[4];
    if (!ReadChunkBytes(reader, bytes, sizeof bytes)) {
        return false;
    }
    out = platform::LoadLittleEndian<std::uint32_t>(bytes);
    return true;
}

template <class Kind>
bool ReadChunkF32(ChunkReader<Kind>& reader, float& out)
{
    static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);
    std::uint32_t bits = 0;
    if (!ReadChunkU32(reader, bits)) {
        return false;
    }
    out = std::bit_cast<float>(bits);
    return true;
}

template <class Kind>
bool CloseChunkReader(ChunkReader<Kind>& reader)
{
    return ChunkAccess<Kind>::Close(reader);
}

template <class Kind>
bool ChunkAccess<Kind>::Close(Reader& reader)
{
    if (reader.closed_) {
        return reader.closeResult_;
    }
    bool ok = !reader.failed_;
    if (ok && reader.HeaderRead()) {
        // The skipped rest belongs to every enclosing payload as much as to this one.
        const Length skipped = reader.remaining_;
        for (Reader* level = reader.parent_; level != nullptr && ok; level = level->parent_) {
            ok = level->HeaderRead() && skipped <= level->remaining_;
        }
        ok = ok && StreamSeek(RootStream(reader), reader.end_);
        if (ok) {
            for (Reader* level = reader.parent_; level != nullptr; level = level->parent_) {
                level->remaining_ = static_cast<Length>(level->remaining_ - skipped);
            }
            reader.remaining_ = 0;
        } else {
            FailChain(reader);
        }
    }
    reader.closed_ = true;
    reader.closeResult_ = ok;
    reader.stream_.Reset();
    return ok;
}

template <class Kind>
bool SeekChunkStream(ChunkReader<Kind>& reader, std::uint64_t position)
{
    return StreamSeek(ChunkAccess<Kind>::RootStream(reader), position);
}

template <class Kind>
bool GetChunkStreamPosition(const ChunkReader<Kind>& reader, std::uint64_t& position)
{
    return StreamPosition(ChunkAccess<Kind>::RootStream(reader), position);
}

#define DSP_CHUNK_READER_INSTANTIATE(Kind)                                                 \
    template class ChunkReader<Kind>;                                                      \
    template bool ReadChunkBytes(ChunkReader<Kind>&, void*, std::uint32_t);                \
    template bool ReadChunkPayload(ChunkReader<Kind>&, std::vector<std::uint8_t>&);        \
    template bool IsChunkAtEnd(ChunkReader<Kind>&);                                        \
    template bool ReadChunkU8(ChunkReader<Kind>&, std::uint8_t&);                          \
    template bool ReadChunkU16(ChunkReader<Kind>&, std::uint16_t&);                        \
    template bool ReadChunkU32(ChunkReader<Kind>&, std::uint32_t&);                        \
    template bool ReadChunkF32(ChunkReader<Kind>&, float&);                                \
    template bool CloseChunkReader(ChunkReader<Kind>&);                                    \
    template bool SeekChunkStream(ChunkReader<Kind>&, std::uint64_t);                      \
    template bool GetChunkStreamPosition(const ChunkReader<Kind>&, std::uint64_t&);

DSP_CHUNK_READER_INSTANTIATE(BlockParamChunk)
DSP_CHUNK_READER_INSTANTIATE(SettingsChunk)
DSP_CHUNK_READER_INSTANTIATE(ProjectChunk)

}  // namespace dsp
