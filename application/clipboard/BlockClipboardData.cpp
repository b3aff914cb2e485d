// The block clipboard format.
#include "application/clipboard/BlockClipboardData.h"

#include <algorithm>

#include "platform/base/ByteOrder.h"
#include "platform/base/Cp1252.h"

std::vector<std::uint8_t> WriteBlockClipboardData(std::uint32_t type, std::u16string_view name,
                                                  const std::uint8_t* blob, std::uint32_t blobSize)
{
    const std::string ansiName = platform::Utf16ToCp1252(name);
    std::vector<std::uint8_t> out;
    out.reserve(kBlockClipboardHeaderSize + ansiName.size() + blobSize);
    out.resize(kBlockClipboardHeaderSize);
    platform::StoreLittleEndian(type, out.data());
    platform::StoreLittleEndian(static_cast<std::uint32_t>(ansiName.size()), out.data() + 4);
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
    const auto nameLength = static_cast<std::int32_t>(platform::LoadLittleEndian<std::uint32_t>(bytes.data() + 4));
    if (nameLength < 0) {
        return std::nullopt;
    }
    const std::size_t remaining = bytes.size() - kBlockClipboardHeaderSize;
    if (static_cast<std::size_t>(nameLength) > remaining) {
        return std::nullopt;
    }
    BlockClipboardData data;
    data.type = platform::LoadLittleEndian<std::uint32_t>(bytes.data());
    const auto name = bytes.subspan(kBlockClipboardHeaderSize, static_cast<std::size_t>(nameLength));
    const std::size_t kept = std::min(name.size(), kBlockClipboardNameLimit);
    data.name = platform::Cp1252ToUtf16(std::string_view(reinterpret_cast<const char*>(name.data()), kept));
    const auto blob = bytes.subspan(kBlockClipboardHeaderSize + name.size());
    data.blob.assign(blob.begin(), blob.end());
    return data;
}
