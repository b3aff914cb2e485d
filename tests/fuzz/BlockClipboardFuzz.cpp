// The block clipboard reader on outside bytes: it either refuses them or returns a block that,
// written again, gives the same bytes (names of up to 256 bytes; every byte of the code page
// survives the trip through UTF-16).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "application/clipboard/BlockClipboardData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto block = ReadBlockClipboardData(bytes);
    if (!block) {
        return 0;
    }
    if (block->name.size() > kBlockClipboardNameLimit ||
        block->blob.size() > size - kBlockClipboardHeaderSize - block->name.size()) {
        std::abort();
    }
    const std::uint32_t nameLength = data[4] | (data[5] << 8) | (data[6] << 16) | (static_cast<std::uint32_t>(data[7]) << 24);
    if (nameLength <= kBlockClipboardNameLimit) {
        const auto written = WriteBlockClipboardData(block->type, block->name, block->blob.data(),
                                                     static_cast<std::uint32_t>(block->blob.size()));
        if (!std::equal(written.begin(), written.end(), bytes.begin(), bytes.end())) {
            std::abort();
        }
    }
    return 0;
}
