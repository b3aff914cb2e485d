// The block clipboard format.
#include "application/clipboard/BlockClipboardData.h"

#include <algorithm>

#include "platform/base/Cp1252.h"

namespace {

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    }
    return value;
}

}  // namespace

std::vector<std::uint8_t> WriteBlockClipboardData(std::uint32_t type, std::u16string_view name,
                                                  const std::uint8_t* blob, std::uint32_t blobSize)
{
    const std::string ansiName = platform::Utf16ToCp1252(name);
    std::vector<std::uint8_t> out;
    out.reserve(kBlockClipboardHeaderSize + ansiName.size() + blobSize);
    PutU32(out, type);
    PutU32(out, static_cast<std::uint32_t>(ansiName.size()));
    out.insert(out.end(), ansiName.begin(), ansiName.end());
    if (blob != nullptr && blobSize > 0) {
        out.insert(out.end(), blob, blob + blobSize);
    }
    return out;
}

std::optional<BlockClipboardData> ReadBlockClipboardData(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kBlockClipboardHeaderSize) {
        return std::nullopt;
    }
    const auto nameLength = static_cast<std::int32_t>(GetU32(bytes, 4));
    if (nameLength < 0) {
        return std::nullopt;
    }
    const std::size_t remaining = bytes.size() - kBlockClipboardHeaderSize;
    if (static_cast<std::size_t>(nameLength) > remaining) {
        return std::nullopt;
    }
    BlockClipboardData data;
    data.type = GetU32(bytes, 0);
    const auto name = bytes.subspan(kBlockClipboardHeaderSize, static_cast<std::size_t>(nameLength));
    const std::size_t kept = std::min(name.size(), kBlockClipboardNameLimit);
    data.name = platform::Cp1252ToUtf16(std::string_view(reinterpret_cast<const char*>(name.data()), kept));
    const auto blob = bytes.subspan(kBlockClipboardHeaderSize + name.size());
    data.blob.assign(blob.begin(), blob.end());
    return data;
}
