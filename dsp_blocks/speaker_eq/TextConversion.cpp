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
        const auto lead = static_cast<unsigned char>(utf8[pos++]);
        if (lead < 0x80) {
            out.push_back(lead);
            continue;
        }
        std::size_t extra = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
            minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (utf8.size() - pos < extra) {
            return std::nullopt;
        }
        for (std::size_t i = 0; i < extra; ++i) {
            const auto next = static_cast<unsigned char>(utf8[pos++]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return std::nullopt;
        }
        AppendUtf16(out, cp);
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
