// Internal to the chunk codec: the operations that need the writer's and reader's fields,
// shared by ChunkWriter.cpp and ChunkReader.cpp. Not for callers.
#pragma once

#include <cstdint>
#include <cstddef>

#include "dsp_blocks/chunks/ChunkCodec.h"
#include "platform/base/ByteOrder.h"

namespace dsp {

template <class Kind>
struct ChunkAccess {
    using Writer = ChunkWriter<Kind>;
    using Reader = ChunkReader<Kind>;
    using Length = typename Kind::Length;
    using Tag = typename Kind::Tag;

    // Writer side (ChunkWriter.cpp).
    static void Construct(Writer& writer, platform::ByteStream* stream);
    static void Destroy(Writer& writer);
    static bool Open(Writer& child, Tag tag, Writer& parent);
    static bool OpenRoot(Writer& writer, Tag tag, platform::ByteStream* stream);
    static bool Close(Writer& writer);
    static bool Write(Writer& writer, const void* bytes, std::uint32_t n);
    static bool WriteInto(Writer& writer, const void* bytes, std::uint32_t n);
    static void FailChain(Writer& writer);
    static platform::ByteStream* RootStream(const Writer& writer) { return writer.stream_.Get(); }

    // Reader side (ChunkReader.cpp).
    static bool ReadHeader(Reader& reader);
    static bool ReadInParent(Reader& reader, void* dst, std::uint32_t n);
    static bool ReadPayload(Reader& reader, void* dst, std::uint32_t n);
    static bool AtEnd(Reader& reader);
    static bool Close(Reader& reader);
    static void FailChain(Reader& reader);
    static platform::ByteStream* RootStream(const Reader& reader);
};

}  // namespace dsp
