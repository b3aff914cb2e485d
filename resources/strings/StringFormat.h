// printf-style formatting that is type-checked at run time and independent of the C locale:
// every argument carries its kind, so a format that asks for something else cannot read
// the wrong bytes, and numbers always use '.' as decimal point.
#pragma once

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include "resources/strings/StringTable.h"

// One argument of FormatString. It refers to the caller's text; it lives only during the call.
class FormatArg {
 public:
  enum class Kind { Signed, Unsigned, Real, Text };

  template <std::signed_integral T>
  FormatArg(T value) : kind_(Kind::Signed), signed_(value) {}
  template <std::unsigned_integral T>
    requires(!std::same_as<T, bool>)
  FormatArg(T value) : kind_(Kind::Unsigned), unsigned_(value) {}
  template <std::floating_point T>
  FormatArg(T value) : kind_(Kind::Real), real_(static_cast<double>(value)) {}
  FormatArg(const char* text) : kind_(Kind::Text), text_(text ? std::string_view(text) : std::string_view()) {}
  FormatArg(std::string_view text) : kind_(Kind::Text), text_(text) {}
  FormatArg(const std::string& text) : kind_(Kind::Text), text_(text) {}
  FormatArg(bool) = delete;
  FormatArg(const void*) = delete;

  Kind kind() const { return kind_; }
  std::int64_t AsSigned() const { return signed_; }
  std::uint64_t AsUnsigned() const { return unsigned_; }
  double AsReal() const { return real_; }
  std::string_view AsText() const { return text_; }

 private:
  Kind kind_;
  std::int64_t signed_ = 0;
  std::uint64_t unsigned_ = 0;
  double real_ = 0.0;
  std::string_view text_;
};

// Formats like printf for the conversions d i u o x X c s f F e E g G and %%, with the flags
// "-+ #0", a width and a precision (digits only), and length modifiers that are accepted and
// ignored (hh h l ll L j z t I I32 I64 w). Rules where printf would misbehave:
// - a conversion without an argument, or a text argument for a number conversion (and the
//   reverse), writes nothing for that conversion;
// - integers and floating-point values convert into each other (a non-finite or out-of-range
//   value for an integer conversion writes 0);
// - a negative value for an unsigned conversion wraps to 32 bits, or to 64 bits with l, ll, j,
//   z, t or I64;
// - an incomplete or unknown conversion is copied to the output as written;
// - widths and precisions are capped at 1024.
std::string FormatStringArgs(std::string_view format, std::span<const FormatArg> args);

template <typename... Args>
std::string FormatString(std::string_view format, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    return FormatStringArgs(format, {});
  } else {
    const FormatArg list[] = {FormatArg(args)...};
    return FormatStringArgs(format, list);
  }
}

// FormatString with the string-table text `id` as the format (empty text when there is none).
template <typename... Args>
std::string FormatStringId(std::uint32_t id, const Args&... args) {
  const StringEntry* entry = FindStringEntry(id);
  return FormatString(entry ? entry->text : std::string_view(), args...);
}

// The kinds of the conversions of a format, in order, with the letters of StringEntry::argKinds
// ('i' for d/i, 'u' for u/o/x/X, 'f' for f/F/e/E/g/G, 's' for s, 'c' for c). An incomplete or
// unknown conversion gives '?'.
std::string FormatConversionKinds(std::string_view format);
