// The Windows-1252 ("ANSI") code page, in which parameter blobs and clipboard data keep
// their text. Bytes stay bytes in the core; these convert them at the edges.
// The five bytes the code page leaves undefined (0x81 0x8D 0x8F 0x90 0x9D) map to the
// C1 controls of the same value, so every byte string survives a round trip.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The replacement written for characters the code page cannot hold.
inline constexpr char kCp1252Replacement = '?';

// The Unicode code point of one byte.
char16_t Cp1252ToUnicode(unsigned char byte);

// The byte of one code point, or nothing if the code page has no such character.
std::optional<unsigned char> UnicodeToCp1252(char32_t codePoint);

// Decodes the UTF-8 sequence that starts at `pos` (which must lie inside `text`) and
// advances `pos` past it. Overlong forms, surrogates, values above U+10FFFF and truncated
// sequences are malformed: the result is empty and `pos` moves past the lead byte only,
// so a caller that goes on still decodes the next character.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos);

std::string Cp1252ToUtf8(std::string_view bytes);
std::u16string Cp1252ToUtf16(std::string_view bytes);

// Each character the code page lacks becomes one `replacement`, and so does each byte of
// a malformed UTF-8 sequence (overlong, surrogate, above U+10FFFF, truncated) and each
// unpaired surrogate; `lossless` (if given) tells whether nothing was replaced.
std::string Utf8ToCp1252(std::string_view utf8, char replacement = kCp1252Replacement, bool* lossless = nullptr);
std::string Utf16ToCp1252(std::u16string_view utf16, char replacement = kCp1252Replacement,
                          bool* lossless = nullptr);

// UTF-16 text (names, titles, versions) as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace platform
