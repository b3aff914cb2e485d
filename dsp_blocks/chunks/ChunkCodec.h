// The nested, tagged chunk scheme in which every binary setting is stored: block parameter
// blobs, the settings file and the project file. One reader and one writer serve the three
// header widths; the kind is a type argument.
//
// Wire format (little-endian): length, tag, then exactly `length` payload bytes. The length
// counts the payload only. Nested chunks (header included) count in their parent's length.
// A list at stream level ends with a lone zero length (no tag); a nested list ends where its
// parent's payload ends. A zero length where a header is expected always ends the list, so an
// empty chunk reads back as the end of its list (its tag is never read).
//
// Writing a block parameter blob (tag 0x90 holding u8 7, then a chunk with a nested one):
//
//     std::uint8_t buffer[256];
//     dsp::InplaceWriteStream stream(buffer, sizeof buffer);
//     {
//         dsp::ChunkWriter<dsp::BlockParamChunk> list(&stream);   // stream level, no header
//         dsp::ChunkWriter<dsp::BlockParamChunk> unit;
//         ok = dsp::OpenChunk(unit, 0x90, list) && dsp::WriteChunkU8(unit, 7) && dsp::CloseChunk(unit);
//         dsp::ChunkWriter<dsp::BlockParamChunk> filter, section;
//         ok = ok && dsp::OpenChunk(filter, 0xF0, list) && dsp::WriteChunkU8(filter, 0)
//              && dsp::OpenChunk(section, 0xE1, filter) && dsp::WriteChunkF32(section, 1000.0f)
//              && dsp::CloseChunk(section) && dsp::CloseChunk(filter);
//         ok = ok && dsp::CloseChunk(list);                       // appends the u16 0 terminator
//     }
//     // blob = the first stream.Size() bytes of buffer (Stat reports the same).
//
// Settings files use SettingsChunk with OpenChunk16/CloseChunk; the project file opens its
// outermost chunk with OpenRootChunk32 and its children with OpenChunk32, closing each with
// CloseChunk32. A writer still open when it goes out of scope is closed then, unless a call
// on it failed; declare children after their parent and the stream before everything.
//
// Reading a list (stream level here; for a nested list pass the parent reader instead):
//
//     dsp::InplaceReadStream stream(blob.data(), static_cast<std::uint32_t>(blob.size()));
//     for (;;) {
//         dsp::ChunkReader<dsp::BlockParamChunk> chunk(&stream);   // or chunk(parentReader)
//         if (!dsp::ReadChunkHeader(chunk)) return false;          // format error
//         if (chunk.IsListEnd()) break;                            // terminator or parent's end
//         switch (chunk.Tag()) {
//         case 0x90: if (!dsp::ReadChunkU8(chunk, unit)) return false; break;
//         default: break;                                          // unknown: skipped on close
//         }
//         if (!dsp::CloseChunkReader(chunk)) return false;         // skips the unread rest
//     }
//
// ReadChunkHeader16 and BeginChunkRead are the header reads of the settings and project
// kinds. A nested reader made when its parent has nothing left reads as the list end, so
// where a child is required ask IsChunkAtEnd(parent) first. Like writers, readers must be
// declared after their parent (they close themselves when they go out of scope). Every operation returns false on failure; the caller then abandons the whole
// encoding or decoding. A failed reader fails its enclosing readers too, so no later read in
// the same outer chunk succeeds.
//
// Safety: a length that does not fit in what remains of its parent (or of the stream) is a
// format error, so a payload length can be trusted for allocation once the header is read;
// bytes a reader skips are charged to every enclosing chunk; a failed seek fails the read.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/ByteStream.h"

namespace dsp {

// u16 length, u8 tag: block parameter blobs.
struct BlockParamChunk {
    using Length = std::uint16_t;
    using Tag = std::uint8_t;
};
// u16 length, u16 tag: the settings file.
struct SettingsChunk {
    using Length = std::uint16_t;
    using Tag = std::uint16_t;
};
// u32 size, u32 tag: the project file.
struct ProjectChunk {
    using Length = std::uint32_t;
    using Tag = std::uint32_t;
};

// All ones marks a reader whose header is not read yet, so it is never a valid length;
// the largest payload is one less (65,534 or 0xFFFFFFFE bytes).
template <class Kind>
inline constexpr typename Kind::Length kChunkUnreadMarker = static_cast<typename Kind::Length>(~typename Kind::Length{0});
template <class Kind>
inline constexpr typename Kind::Length kMaxChunkPayload = kChunkUnreadMarker<Kind> - 1;

template <class Kind>
struct ChunkAccess;

// One open chunk, or a whole stream-level list. Not copyable; children keep a pointer to
// their parent while open.
template <class Kind>
class ChunkWriter {
public:
    // A child, opened later by OpenChunk / OpenChunk16 / OpenChunk32 / OpenRootChunk32.
    ChunkWriter() = default;
    // A stream-level list starting at the stream's current position (no header of its own).
    explicit ChunkWriter(platform::ByteStream* stream);
    ChunkWriter(const ChunkWriter&) = delete;
    ChunkWriter& operator=(const ChunkWriter&) = delete;
    // Closes a writer that is still open, unless a call on it failed; releases the stream.
    ~ChunkWriter();

    // Payload bytes written so far, nested headers included (for a stream-level list: every
    // byte written, terminator included once closed).
    std::uint32_t Count() const noexcept { return count_; }
    bool IsOpen() const noexcept { return stream_ && !closed_; }
    bool HasFailed() const noexcept { return failed_; }

private:
    friend struct ChunkAccess<Kind>;

    platform::ByteStreamRef stream_;   // the outermost stream, one reference
    ChunkWriter* parent_ = nullptr;     // while open; null at stream level and for the root chunk
    bool isChunk_ = false;              // has a length field of its own to patch
    std::uint64_t start_ = 0;           // stream position of that length field
    std::uint32_t count_ = 0;
    bool busy_ = false;                 // a child of this writer is open
    bool closed_ = false;
    bool failed_ = false;
};

// Writer operations. Each returns true on success.
bool OpenChunk(ChunkWriter<BlockParamChunk>& child, std::uint8_t tag, ChunkWriter<BlockParamChunk>& parent);
bool OpenChunk16(ChunkWriter<SettingsChunk>& child, std::uint16_t tag, ChunkWriter<SettingsChunk>& parent);
bool OpenChunk32(ChunkWriter<ProjectChunk>& child, std::uint32_t tag, ChunkWriter<ProjectChunk>& parent);
// The outermost chunk of a project file: a header written straight to the stream, no parent.
bool OpenRootChunk32(ChunkWriter<ProjectChunk>& writer, std::uint32_t tag, platform::ByteStream* stream);
// Closes a child (patches its length) or a stream-level list or root chunk (patches the root's
// length, then appends the zero-length terminator). Fails while a child is still open, on a
// second close, and when the payload outgrew the length field.
bool CloseChunk(ChunkWriter<BlockParamChunk>& writer);
bool CloseChunk(ChunkWriter<SettingsChunk>& writer);
bool CloseChunk32(ChunkWriter<ProjectChunk>& writer);

// Writes n payload bytes into an open writer that has no open child; every open level counts
// them. Fails, writing nothing, when any enclosing chunk would outgrow its length field.
template <class Kind>
bool WriteChunkBytes(ChunkWriter<Kind>& writer, const void* bytes, std::uint32_t n);
template <class Kind>
bool WriteChunkU8(ChunkWriter<Kind>& writer, std::uint8_t value);
template <class Kind>
bool WriteChunkU16(ChunkWriter<Kind>& writer, std::uint16_t value);
template <class Kind>
bool WriteChunkU32(ChunkWriter<Kind>& writer, std::uint32_t value);
template <class Kind>
bool WriteChunkF32(ChunkWriter<Kind>& writer, float value);
// Writes n bytes at an absolute stream position and returns to where the stream was.
template <class Kind>
bool WriteStreamAt(ChunkWriter<Kind>& writer, std::uint64_t position, const void* bytes, std::uint32_t n);
// The stream the outermost writer writes to (null for a writer never opened).
template <class Kind>
platform::ByteStream* GetRootChunkStream(const ChunkWriter<Kind>& writer);

// One chunk being read: either from the stream itself (a stream-level list) or from the
// payload of a parent reader. Not copyable.
template <class Kind>
class ChunkReader {
public:
    using Length = typename Kind::Length;
    using TagType = typename Kind::Tag;

    explicit ChunkReader(platform::ByteStream* stream);
    explicit ChunkReader(ChunkReader& parent);
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;
    // Runs CloseChunkReader when the caller has not.
    ~ChunkReader();

    bool HeaderRead() const noexcept { return remaining_ != kChunkUnreadMarker<Kind>; }
    // True after a header read that found the end of the list: a zero length, or (nested) a
    // parent with no payload left. No tag was read then.
    bool IsListEnd() const noexcept { return remaining_ == 0; }
    // Payload bytes not read yet; valid once the header is read.
    Length Remaining() const noexcept { return HeaderRead() ? remaining_ : 0; }
    TagType Tag() const noexcept { return tag_; }
    bool HasFailed() const noexcept { return failed_; }

private:
    friend struct ChunkAccess<Kind>;

    ChunkReader* parent_ = nullptr;
    platform::ByteStreamRef stream_;    // stream-level readers only; nested ones read via parents
    bool failed_ = false;
    Length remaining_ = kChunkUnreadMarker<Kind>;
    TagType tag_ = 0;
    std::uint64_t end_ = 0;             // stream position just after the chunk
    bool closed_ = false;
    bool closeResult_ = false;
};

// Header reads, one per width. True at once when the header was read before. A zero length
// (or, for a nested reader, a parent with nothing left) reads as the end of the list:
// true with IsListEnd(). False (and the reader failed) when the stream ends early, or the
// length does not fit in what remains.
bool ReadChunkHeader(ChunkReader<BlockParamChunk>& reader);
bool ReadChunkHeader16(ChunkReader<SettingsChunk>& reader);
bool BeginChunkRead(ChunkReader<ProjectChunk>& reader);

// Reads n payload bytes (reading the header first when needed). False without reading
// anything when fewer than n bytes remain in the chunk.
template <class Kind>
bool ReadChunkBytes(ChunkReader<Kind>& reader, void* dst, std::uint32_t n);
// Reads the whole unread rest of the payload into `out` (emptied on failure). The buffer
// grows as bytes arrive, so a length that lied costs no more memory than the data present.
template <class Kind>
bool ReadChunkPayload(ChunkReader<Kind>& reader, std::vector<std::uint8_t>& out);
// True when no payload byte is left (reading the header first when needed; a nested reader
// whose parent is used up is at its end without reading). False after a failure.
template <class Kind>
bool IsChunkAtEnd(ChunkReader<Kind>& reader);
template <class Kind>
bool ReadChunkU8(ChunkReader<Kind>& reader, std::uint8_t& out);
template <class Kind>
bool ReadChunkU16(ChunkReader<Kind>& reader, std::uint16_t& out);
template <class Kind>
bool ReadChunkU32(ChunkReader<Kind>& reader, std::uint32_t& out);
// The value as stored; the caller checks it for finiteness where that matters.
template <class Kind>
bool ReadChunkF32(ChunkReader<Kind>& reader, float& out);
// Skips what was not read of the payload (moving the stream to the chunk's end) and
// releases the stream. False when the reader had failed or the skip failed; the list read
// must then stop. A second call returns the first call's result.
template <class Kind>
bool CloseChunkReader(ChunkReader<Kind>& reader);
// Moves the outermost reader's stream to an absolute position.
template <class Kind>
bool SeekChunkStream(ChunkReader<Kind>& reader, std::uint64_t position);
// The outermost reader's stream position.
template <class Kind>
bool GetChunkStreamPosition(const ChunkReader<Kind>& reader, std::uint64_t& position);

// Defined for BlockParamChunk, SettingsChunk and ProjectChunk in ChunkWriter.cpp and ChunkReader.cpp.

}  // namespace dsp
