// The chunk decoder of block parameter blobs on outside bytes: every top-level chunk and
// every nested list, then a round trip: what reads back writes back to the same chunks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "dsp_blocks/blocks/ParamBlob.h"

namespace {

struct Chunk {
    std::uint8_t tag = 0;
    std::vector<std::uint8_t> payload;
    friend bool operator==(const Chunk&, const Chunk&) = default;
};

bool ReadChunks(const std::uint8_t* data, std::uint32_t size, std::vector<Chunk>& out)
{
    return ReadParamBlob(data, size, [&out](ParamChunk& chunk) {
        Chunk read{chunk.Tag(), std::vector<std::uint8_t>(chunk.Remaining())};
        if (!read.payload.empty() && !chunk.ReadBytes(read.payload.data(), chunk.Remaining())) {
            return false;
        }
        out.push_back(std::move(read));
        return true;
    });
}

// Walks the nested lists as the controllers do, a few levels deep.
void WalkNested(ParamChunk& chunk, int depth)
{
    std::uint8_t byte = 0;
    chunk.ReadU8(byte);
    if (depth < 4) {
        chunk.ForEachNested([depth](ParamChunk& nested) {
            WalkNested(nested, depth + 1);
            return true;
        });
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto length = static_cast<std::uint32_t>(size);
    ReadParamBlob(data, length, [](ParamChunk& chunk) {
        WalkNested(chunk, 0);
        return true;
    });

    std::vector<Chunk> chunks;
    if (!ReadChunks(data, length, chunks)) {
        return 0;
    }
    ParamBlobWriter writer(length + 2);
    for (const Chunk& chunk : chunks) {
        if (!writer.Open(chunk.tag) ||
            !writer.WriteBytes(chunk.payload.data(), static_cast<std::uint32_t>(chunk.payload.size())) ||
            !writer.Close()) {
            std::abort();
        }
    }
    const auto written = writer.Finish();
    std::vector<Chunk> again;
    if (!written || !ReadChunks(written->data(), static_cast<std::uint32_t>(written->size()), again) ||
        again != chunks) {
        std::abort();
    }
    return 0;
}
