// Numbers as the user sees and types them: printf-style formatting with the user's decimal
// separator, the check and parse of typed text, and the leading-number reading of the
// limiter-style edit fields. File and wire formats never come through here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "resources/strings/StringFormat.h"

// FormatString of format and args, then every '.' replaced by the user's separator.
std::string LocalizeDecimalPoint(std::string text);
template <typename... Args>
std::string FormatLocaleNumber(std::string_view format, const Args&... args)
{
    return LocalizeDecimalPoint(FormatString(format, args...));
}

// True when every character is a digit, '-', '+' or the user's separator (true for "").
bool IsNumberText(std::string_view text);
// A copy with every user separator replaced by '.'.
std::string ToInvariantNumber(std::string_view text);
// ParseFloat of ToInvariantNumber(text): spaces, sign, digits with an optional fraction, spaces.
bool ParseLocaleNumber(std::string_view text, float& out);

// Codes of ParseValueInRange: 0, or the string-table text the caller shows with the range.
inline constexpr std::uint32_t kValueAccepted = 0;
inline constexpr std::uint32_t kValueBadFormat = 16527;   // "Bad Format.\n\nChoose a number between %d and %d"
inline constexpr std::uint32_t kValueOutOfRange = 16531;  // "Choose a number between %d and %d"
// 16527 for text that is no number (empty text included), 16531 below min or above max,
// else 0 with the value in out.
std::uint32_t ParseValueInRange(std::string_view text, float min, float max, float& out);

// The number at the start of text, as the C library read it (spaces, sign, digits, a '.' or
// the user's separator with more digits, an exponent), ignoring what follows. False when the
// text does not start with a digit (after spaces and sign) or the value is not finite: text
// without digits is no number, never 0.
bool ParseLeadingNumber(std::string_view text, double& out);
