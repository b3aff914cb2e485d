// Version texts are parsed by hand on ASCII code units, so no locale can change the result.
#include "platform/base/VersionText.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace {

template <typename CharT>
std::uint32_t Unit(CharT c) {
  if constexpr (sizeof(CharT) == 1) {
    return static_cast<unsigned char>(c);
  } else {
    return static_cast<std::uint32_t>(c);
  }
}

template <typename CharT>
bool IsAsciiLetter(CharT c) {
  std::uint32_t u = Unit(c) | 0x20u;
  return u >= 'a' && u <= 'z';
}

template <typename CharT>
bool IsSeparator(CharT c) {
  return Unit(c) == '.' || Unit(c) == '_';
}

// A run of decimal digits and nothing else, within 32 bits.
template <typename CharT>
bool ParseDigits(std::basic_string_view<CharT> piece, std::uint32_t& out) {
  if (piece.empty()) {
    return false;
  }
  std::uint64_t value = 0;
  for (CharT c : piece) {
    std::uint32_t u = Unit(c);
    if (u < '0' || u > '9') {
      return false;
    }
    value = value * 10 + (u - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) {
      return false;
    }
  }
  out = static_cast<std::uint32_t>(value);
  return true;
}

template <typename CharT>
FirmwareVersion Parse(std::basic_string_view<CharT> text) {
  std::size_t i = 0;
  while (i < text.size() && IsAsciiLetter(text[i])) {
    ++i;
  }
  std::basic_string_view<CharT> pieces[2];
  std::size_t count = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSeparator(text[i])) {
      ++i;
    }
    if (i == text.size()) {
      break;
    }
    std::size_t start = i;
    while (i < text.size() && !IsSeparator(text[i])) {
      ++i;
    }
    if (count == 2) {
      return {};
    }
    pieces[count++] = text.substr(start, i - start);
  }
  FirmwareVersion version;
  if (count != 2 || !ParseDigits(pieces[0], version.major) || !ParseDigits(pieces[1], version.minor)) {
    return {};
  }
  return version;
}

} // namespace

FirmwareVersion ParseVersionPair(std::string_view text) { return Parse(text); }

FirmwareVersion ParseVersionPair(std::u16string_view text) { return Parse(text); }

bool ParseVersionNumber(std::string_view text, std::uint32_t& value) { return ParseDigits(text, value); }

bool ParseVersionNumber(std::u16string_view text, std::uint32_t& value) { return ParseDigits(text, value); }
