// Windows-1252 differs from Latin-1 only in 0x80..0x9F; that row is tabled here.
#include "platform/base/Cp1252.h"

#include <array>
#include <cstdint>

namespace platform {
namespace {

constexpr std::array<char16_t, 32> kRow80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes the UTF-16 unit (or surrogate pair) at `pos` and advances past it; an unpaired
// surrogate gives nothing.
std::optional<char32_t> DecodeUtf16(std::u16string_view text, std::size_t& pos)
{
    const char16_t unit = text[pos++];
    if (unit >= 0xD800 && unit <= 0xDBFF && pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) {
        return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[pos++] - 0xDC00);
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
        return std::nullopt;
    }
    return unit;
}

void AppendCp1252(std::string& out, std::optional<char32_t> cp, char replacement, bool& lossless)
{
    const std::optional<unsigned char> byte = cp ? UnicodeToCp1252(*cp) : std::nullopt;
    if (byte) {
        out.push_back(static_cast<char>(*byte));
    } else {
        out.push_back(replacement);
        lossless = false;
    }
}

}  // namespace

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    ++pos;
    if (lead < 0x80) {
        return lead;
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
    if (text.size() - pos < extra) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += extra;
    return cp;
}

char16_t Cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        return kRow80[byte - 0x80];
    }
    return byte;
}

std::optional<unsigned char> UnicodeToCp1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<unsigned char>(codePoint);
    }
    for (std::size_t i = 0; i < kRow80.size(); ++i) {
        if (kRow80[i] == codePoint) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(c)));
    }
    return out;
}

std::u16string Cp1252ToUtf16(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        out.push_back(Cp1252ToUnicode(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8, char replacement, bool* lossless)
{
    std::string out;
    out.reserve(utf8.size());
    bool allMapped = true;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        AppendCp1252(out, DecodeUtf8(utf8, pos), replacement, allMapped);
    }
    if (lossless != nullptr) {
        *lossless = allMapped;
    }
    return out;
}

std::string Utf16ToCp1252(std::u16string_view utf16, char replacement, bool* lossless)
{
    std::string out;
    out.reserve(utf16.size());
    bool allMapped = true;
    for (std::size_t pos = 0; pos < utf16.size();) {
        AppendCp1252(out, DecodeUtf16(utf16, pos), replacement, allMapped);
    }
    if (lossless != nullptr) {
        *lossless = allMapped;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16)
{
    constexpr char32_t kReplacementCharacter = 0xFFFD;
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t pos = 0; pos < utf16.size();) {
        AppendUtf8(out, DecodeUtf16(utf16, pos).value_or(kReplacementCharacter));
    }
    return out;
}

}  // namespace platform
