// Small text helpers shared by the block records and the files they come from.
// Every parser here is independent of the user's locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Clears out, then appends each run of characters between runs of delimiter
// characters (no empty fields); returns the number of fields.
std::size_t SplitString(std::u16string_view text, std::vector<std::u16string>& out,
                        std::u16string_view delimiters);

// Spaces, an optional "0x" or "0X", one or more hexadecimal digits, spaces, end.
// The value (32-bit, wrapping) for such a text, else 0.
std::uint32_t ParseHex(std::u16string_view text);

// Spaces, an optional sign, digits with an optional fraction (at least one digit in all),
// spaces, end. True with the single-precision value; false for any other text and for a
// value too large for single precision.
bool ParseFloat(std::u16string_view text, float& out);
