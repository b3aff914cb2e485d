// Conversions between the encodings the speaker-EQ files arrive in and the UTF-16 text
// the editor shows and stores.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace speaker_eq {

// Strict UTF-8 decoding: nothing for overlong forms, surrogates, values above U+10FFFF,
// stray continuation bytes and truncated sequences.
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);

// The text of a line-based data file: UTF-16 little-endian when it starts with that
// byte-order mark, UTF-8 (with or without its mark) when it decodes as such, and
// Windows-1252 otherwise, as older editors saved such files.
std::u16string DecodeTextFile(std::string_view bytes);

}  // namespace speaker_eq
