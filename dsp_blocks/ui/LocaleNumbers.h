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

// Whether a typed number stands for a value of [minimum, maximum] in a field that shows its
// values with format (value and range in the units the field shows). A field shows the ends
// of its range rounded to its display step: a single-precision 70.69999 as 70.7, 50 ms in
// feet as 56.27. Typing such a text back must give that end, so a number outside the range
// that the field would show as it shows the nearer end (it lies within half a display step
// of it) becomes that end. Further out, or NaN, is false and value is left alone.
bool FitTypedIntoRange(double& value, double minimum, double maximum, std::string_view format);

// Codes of ParseValueInRange: 0, or the string-table text the caller shows with the range.
inline constexpr std::uint32_t kValueAccepted = 0;
inline constexpr std::uint32_t kValueBadFormat = 16527;   // "Bad Format.\n\nChoose a number between %d and %d"
inline constexpr std::uint32_t kValueOutOfRange = 16531;  // "Choose a number between %d and %d"
// 16527 for text that is no number (empty text included), 16531 outside [min, max] as
// FitTypedIntoRange sees it with the field's format, else 0 with the value (brought onto an
// end it stood for) in out.
std::uint32_t ParseValueInRange(std::string_view text, float min, float max, std::string_view format, float& out);

// The number at the start of text, as the C library read it (spaces, sign, digits, a '.' or
// the user's separator with more digits, an exponent), ignoring what follows. False when the
// text does not start with a digit (after spaces and sign) or the value is not finite: text
// without digits is no number, never 0.
bool ParseLeadingNumber(std::string_view text, double& out);
