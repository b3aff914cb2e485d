// UTF-8, UTF-16 and Windows-1252 text of the speaker-EQ files.
#include "dsp_blocks/speaker_eq/TextConversion.h"

#include <cstddef>

#include "platform/base/Cp1252.h"

namespace speaker_eq {
namespace {

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

}  // namespace

std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::optional<char32_t> cp = platform::DecodeUtf8(utf8, pos);
        if (!cp) {
            return std::nullopt;
        }
        AppendUtf16(out, *cp);
    }
    return out;
}

std::u16string DecodeTextFile(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string out;
        out.reserve(bytes.size() / 2);
        // A trailing odd byte cannot be a character and is dropped.
        for (std::size_t pos = 2; pos + 1 < bytes.size(); pos += 2) {
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[pos]) |
                                                (static_cast<unsigned char>(bytes[pos + 1]) << 8)));
        }
        return out;
    }
    std::string_view body = bytes;
    if (body.size() >= 3 && body.substr(0, 3) == "\xEF\xBB\xBF") {
        body.remove_prefix(3);
    }
    if (std::optional<std::u16string> text = Utf8ToUtf16(body)) {
        return std::move(*text);
    }
    return platform::Cp1252ToUtf16(body);
}

}  // namespace speaker_eq
