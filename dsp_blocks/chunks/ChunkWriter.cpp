// Chunk writer: headers are written with a zero length and patched when the chunk closes.
#include <bit>
#include <limits>
#include <utility>

#include "dsp_blocks/chunks/ChunkAccess.h"

namespace dsp {

using platform::ByteStream;
using platform::SeekOrigin;
using platform::StreamResult;

namespace {

bool CurrentPosition(ByteStream* stream, std::uint64_t& position)
{
    return stream != nullptr && platform::Succeeded(stream->Seek(0, SeekOrigin::Current, &position));
}

bool WriteAll(ByteStream* stream, const void* bytes, std::uint32_t n)
{
    if (n == 0) {
        return true;
    }
    std::uint32_t written = 0;
    const StreamResult result = stream->Write(bytes, n, &written);
    return platform::Succeeded(result) && written == n;
}

}  // namespace

template <class Kind>
void ChunkAccess<Kind>::Construct(Writer& writer, ByteStream* stream)
{
    writer.stream_ = platform::ByteStreamRef(stream);
    std::uint64_t position = 0;
    if (!CurrentPosition(stream, position)) {
        writer.failed_ = true;
    }
    writer.start_ = position;
}

template <class Kind>
void ChunkAccess<Kind>::Destroy(Writer& writer)
{
    if (writer.IsOpen() && !writer.failed_) {
        Close(writer);
    }
    if (writer.parent_ != nullptr) {
        writer.parent_->busy_ = false;
        writer.parent_ = nullptr;
    }
}

// After any failure the bytes below the failed level are not a valid encoding, so no level
// that shares them may be closed (or auto-closed) into a well-formed looking stream.
template <class Kind>
void ChunkAccess<Kind>::FailChain(Writer& writer)
{
    for (Writer* level = &writer; level != nullptr; level = level->parent_) {
        level->failed_ = true;
    }
}

template <class Kind>
bool ChunkAccess<Kind>::WriteInto(Writer& writer, const void* bytes, std::uint32_t n)
{
    // Check every level first, so a payload too large for a length field writes nothing.
    for (const Writer* level = &writer; level != nullptr; level = level->parent_) {
        const std::uint64_t limit =
            level->isChunk_ ? kMaxChunkPayload<Kind> : std::numeric_limits<std::uint32_t>::max();
        if (std::uint64_t{level->count_} + n > limit) {
            return false;
        }
    }
    if (!WriteAll(writer.stream_.Get(), bytes, n)) {
        return false;
    }
    for (Writer* level = &writer; level != nullptr; level = level->parent_) {
        level->count_ += n;
    }
    return true;
}

template <class Kind>
bool ChunkAccess<Kind>::Write(Writer& writer, const void* bytes, std::uint32_t n)
{
    // Bytes written into a parent while its child is open would land inside the child.
    if (!writer.IsOpen() || writer.failed_ || writer.busy_ || (bytes == nullptr && n != 0) ||
        !WriteInto(writer, bytes, n)) {
        FailChain(writer);
        return false;
    }
    return true;
}

template <class Kind>
bool ChunkAccess<Kind>::Open(Writer& child, Tag tag, Writer& parent)
{
    std::uint64_t start = 0;
    if (child.stream_ || child.closed_ || !parent.IsOpen() || parent.failed_ || parent.busy_ ||
        !CurrentPosition(parent.stream_.Get(), start)) {
        child.failed_ = true;
        FailChain(parent);
        return false;
    }
    child.stream_ = parent.stream_;
    child.parent_ = &parent;
    child.isChunk_ = true;
    child.start_ = start;
    child.count_ = 0;
    parent.busy_ = true;

    std::uint8_t header[sizeof(Length) + sizeof(Tag)] = {};
    platform::StoreLittleEndian<Tag>(tag, header + sizeof(Length));
    if (!WriteInto(parent, header, sizeof header)) {
        FailChain(child);
        return false;
    }
    return true;
}

template <class Kind>
bool ChunkAccess<Kind>::OpenRoot(Writer& writer, Tag tag, ByteStream* stream)
{
    std::uint64_t start = 0;
    if (writer.stream_ || writer.closed_ || !CurrentPosition(stream, start)) {
        writer.failed_ = true;
        return false;
    }
    writer.stream_ = platform::ByteStreamRef(stream);
    writer.parent_ = nullptr;
    writer.isChunk_ = true;
    writer.start_ = start;
    writer.count_ = 0;

    std::uint8_t header[sizeof(Length) + sizeof(Tag)] = {};
    platform::StoreLittleEndian<Tag>(tag, header + sizeof(Length));
    if (!WriteAll(stream, header, sizeof header)) {
        writer.failed_ = true;
        return false;
    }
    return true;
}

template <class Kind>
bool ChunkAccess<Kind>::Close(Writer& writer)
{
    if (!writer.IsOpen() || writer.failed_ || writer.busy_) {
        FailChain(writer);
        return false;
    }
    writer.closed_ = true;
    Writer* parent = std::exchange(writer.parent_, nullptr);
    if (parent != nullptr) {
        parent->busy_ = false;
    }
    bool ok = true;
    if (writer.isChunk_) {
        // The write path never lets a payload pass the largest length.
        std::uint8_t length[sizeof(Length)];
        platform::StoreLittleEndian<Length>(static_cast<Length>(writer.count_), length);
        ok = WriteStreamAt(writer, writer.start_, length, sizeof length);
    }
    if (ok && parent == nullptr) {
        const std::uint8_t terminator[sizeof(Length)] = {};
        ok = writer.count_ <= std::numeric_limits<std::uint32_t>::max() - sizeof terminator &&
             WriteAll(writer.stream_.Get(), terminator, sizeof terminator);
        if (ok) {
            writer.count_ += sizeof terminator;
        }
    }
    if (!ok) {
        writer.failed_ = true;
        if (parent != nullptr) {
            FailChain(*parent);
        }
    }
    return ok;
}

template <class Kind>
ChunkWriter<Kind>::ChunkWriter(ByteStream* stream)
{
    ChunkAccess<Kind>::Construct(*this, stream);
}

template <class Kind>
ChunkWriter<Kind>::~ChunkWriter()
{
    ChunkAccess<Kind>::Destroy(*this);
}

bool OpenChunk(ChunkWriter<BlockParamChunk>& child, std::uint8_t tag, ChunkWriter<BlockParamChunk>& parent)
{
    return ChunkAccess<BlockParamChunk>::Open(child, tag, parent);
}

bool OpenChunk16(ChunkWriter<SettingsChunk>& child, std::uint16_t tag, ChunkWriter<SettingsChunk>& parent)
{
    return ChunkAccess<SettingsChunk>::Open(child, tag, parent);
}

bool OpenChunk32(ChunkWriter<ProjectChunk>& child, std::uint32_t tag, ChunkWriter<ProjectChunk>& parent)
{
    return ChunkAccess<ProjectChunk>::Open(child, tag, parent);
}

bool OpenRootChunk32(ChunkWriter<ProjectChunk>& writer, std::uint32_t tag, ByteStream* stream)
{
    return ChunkAccess<ProjectChunk>::OpenRoot(writer, tag, stream);
}

bool CloseChunk(ChunkWriter<BlockParamChunk>& writer)
{
    return ChunkAccess<BlockParamChunk>::Close(writer);
}

bool CloseChunk(ChunkWriter<SettingsChunk>& writer)
{
    return ChunkAccess<SettingsChunk>::Close(writer);
}

bool CloseChunk32(ChunkWriter<ProjectChunk>& writer)
{
    return ChunkAccess<ProjectChunk>::Close(writer);
}

template <class Kind>
bool WriteChunkBytes(ChunkWriter<Kind>& writer, const void* bytes, std::uint32_t n)
{
    return ChunkAccess<Kind>::Write(writer, bytes, n);
}

template <class Kind>
bool WriteChunkU8(ChunkWriter<Kind>& writer, std::uint8_t value)
{
    return WriteChunkBytes(writer, &value, 1);
}

template <class Kind>
bool WriteChunkU16(ChunkWriter<Kind>& writer, std::uint16_t value)
{
    std::uint8_t bytes[2];
    platform::StoreLittleEndian(value, bytes);
    return WriteChunkBytes(writer, bytes, sizeof bytes);
}

template <class Kind>
bool WriteChunkU32(ChunkWriter<Kind>& writer, std::uint32_t value)
{
    std::uint8_t bytes[4];
    platform::StoreLittleEndian(value, bytes);
    return WriteChunkBytes(writer, bytes, sizeof bytes);
}

template <class Kind>
bool WriteChunkF32(ChunkWriter<Kind>& writer, float value)
{
    static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);
    return WriteChunkU32(writer, std::bit_cast<std::uint32_t>(value));
}

template <class Kind>
bool WriteStreamAt(ChunkWriter<Kind>& writer, std::uint64_t position, const void* bytes, std::uint32_t n)
{
    ByteStream* stream = GetRootChunkStream(writer);
    std::uint64_t back = 0;
    if (stream == nullptr || position > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
        !CurrentPosition(stream, back)) {
        return false;
    }
    if (platform::Failed(stream->Seek(static_cast<std::int64_t>(position), SeekOrigin::Begin, nullptr))) {
        return false;
    }
    const bool written = WriteAll(stream, bytes, n);
    // Return even after a failed write, so the stream is where the caller left it.
    const bool returned = platform::Succeeded(stream->Seek(static_cast<std::int64_t>(back), SeekOrigin::Begin, nullptr));
    return written && returned;
}

template <class Kind>
ByteStream* GetRootChunkStream(const ChunkWriter<Kind>& writer)
{
    return ChunkAccess<Kind>::RootStream(writer);
}

#define DSP_CHUNK_WRITER_INSTANTIATE(Kind)                                                 \
    template class ChunkWriter<Kind>;                                                      \
    template bool WriteChunkBytes(ChunkWriter<Kind>&, const void*, std::uint32_t);         \
    template bool WriteChunkU8(ChunkWriter<Kind>&, std::uint8_t);                          \
    template bool WriteChunkU16(ChunkWriter<Kind>&, std::uint16_t);                        \
    template bool WriteChunkU32(ChunkWriter<Kind>&, std::uint32_t);                        \
    template bool WriteChunkF32(ChunkWriter<Kind>&, float);                                \
    template bool WriteStreamAt(ChunkWriter<Kind>&, std::uint64_t, const void*, std::uint32_t); \
    template ByteStream* GetRootChunkStream(const ChunkWriter<Kind>&);

DSP_CHUNK_WRITER_INSTANTIATE(BlockParamChunk)
DSP_CHUNK_WRITER_INSTANTIATE(SettingsChunk)
DSP_CHUNK_WRITER_INSTANTIATE(ProjectChunk)

}  // namespace dsp
