// Tokenizer of the text data files. Characters are compared as code units against ASCII, so
// the same code serves ANSI bytes, UTF-8 and UTF-16 without consulting the locale.
#include "platform/base/TextTokenizer.h"

#include <limits>

namespace {

template <typename CharT>
bool IsOneOf(CharT c, std::string_view set) {
  for (char d : set) {
    if (static_cast<std::uint32_t>(static_cast<unsigned char>(d)) == static_cast<std::uint32_t>(c)) {
      return true;
    }
  }
  return false;
}

template <typename CharT>
std::uint32_t CodeUnit(CharT c) {
  if constexpr (sizeof(CharT) == 1) {
    return static_cast<unsigned char>(c);
  } else {
    return static_cast<std::uint32_t>(c);
  }
}

template <typename CharT>
bool IsWhiteSpace(CharT c) {
  std::uint32_t u = CodeUnit(c);
  return u == ' ' || (u >= '\t' && u <= '\r');
}

template <typename CharT>
int DecimalDigit(CharT c) {
  std::uint32_t u = CodeUnit(c);
  return u >= '0' && u <= '9' ? static_cast<int>(u - '0') : -1;
}

template <typename CharT>
int HexDigit(CharT c) {
  std::uint32_t u = CodeUnit(c);
  if (u >= '0' && u <= '9') {
    return static_cast<int>(u - '0');
  }
  if (u >= 'a' && u <= 'f') {
    return static_cast<int>(u - 'a' + 10);
  }
  if (u >= 'A' && u <= 'F') {
    return static_cast<int>(u - 'A' + 10);
  }
  return -1;
}

} // namespace

template <typename CharT>
std::basic_string<CharT> NextToken(BasicTextCursor<CharT>& cursor, std::string_view delimiters) {
  std::basic_string_view<CharT> rest = cursor.Rest();
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (IsOneOf(rest[i], delimiters)) {
      cursor.MoveTo(cursor.Position() + i + 1);
      return std::basic_string<CharT>(rest.substr(0, i));
    }
  }
  cursor.MoveTo(cursor.Text().size());
  return std::basic_string<CharT>(rest);
}

template <typename CharT>
std::int32_t ParseLeadingInt(std::basic_string_view<CharT> text) {
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (CodeUnit(text[i]) == '+' || CodeUnit(text[i]) == '-')) {
    negative = CodeUnit(text[i]) == '-';
    ++i;
  }
  // Accumulate as a negative number so that the i32 minimum fits too.
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min());
  for (; i < text.size(); ++i) {
    int digit = DecimalDigit(text[i]);
    if (digit < 0) {
      break;
    }
    value = value * 10 + digit;
    if (value > kLimit) {
      return 0;
    }
  }
  if (negative) {
    return static_cast<std::int32_t>(-value);
  }
  if (value > std::numeric_limits<std::int32_t>::max()) {
    return 0;
  }
  return static_cast<std::int32_t>(value);
}

template <typename CharT>
std::uint32_t ParseHexField(std::basic_string_view<CharT> text) {
  std::size_t i = 0;
  while (i < text.size() && CodeUnit(text[i]) == ' ') {
    ++i;
  }
  if (i + 1 < text.size() && CodeUnit(text[i]) == '0' && (CodeUnit(text[i + 1]) | 0x20) == 'x') {
    i += 2;
  }
  std::uint64_t value = 0;
  std::size_t digits = 0;
  for (; i < text.size(); ++i) {
    int digit = HexDigit(text[i]);
    if (digit < 0) {
      break;
    }
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > std::numeric_limits<std::uint32_t>::max()) {
      return 0;
    }
    ++digits;
  }
  while (i < text.size() && CodeUnit(text[i]) == ' ') {
    ++i;
  }
  if (digits == 0 || i != text.size()) {
    return 0;
  }
  return static_cast<std::uint32_t>(value);
}

template <typename CharT>
std::int32_t NextInt(BasicTextCursor<CharT>& cursor, std::string_view delimiters) {
  std::basic_string<CharT> token = NextToken(cursor, delimiters);
  return ParseLeadingInt(std::basic_string_view<CharT>(token));
}

template <typename CharT>
std::uint32_t NextHex(BasicTextCursor<CharT>& cursor, std::string_view delimiters) {
  std::basic_string<CharT> token = NextToken(cursor, delimiters);
  return ParseHexField(std::basic_string_view<CharT>(token));
}

template <typename CharT>
std::uint32_t NextColor(BasicTextCursor<CharT>& cursor) {
  std::uint32_t red = static_cast<std::uint32_t>(NextInt(cursor, kComponentDelimiters)) & 0xFFu;
  std::uint32_t green = static_cast<std::uint32_t>(NextInt(cursor, kComponentDelimiters)) & 0xFFu;
  std::uint32_t blue = static_cast<std::uint32_t>(NextInt(cursor, kLastComponentDelimiters)) & 0xFFu;
  return red + 256u * green + 65536u * blue;
}

template <typename CharT>
std::pair<std::int32_t, std::int32_t> NextIntPair(BasicTextCursor<CharT>& cursor) {
  std::int32_t first = NextInt(cursor, kComponentDelimiters);
  std::int32_t second = NextInt(cursor, kLastComponentDelimiters);
  return {first, second};
}

#define APP_TEXT_INSTANTIATE(CharT)                                                                       \
  template std::basic_string<CharT> NextToken(BasicTextCursor<CharT>&, std::string_view);                 \
  template std::int32_t NextInt(BasicTextCursor<CharT>&, std::string_view);                               \
  template std::uint32_t NextHex(BasicTextCursor<CharT>&, std::string_view);                              \
  template std::uint32_t NextColor(BasicTextCursor<CharT>&);                                              \
  template std::pair<std::int32_t, std::int32_t> NextIntPair(BasicTextCursor<CharT>&);                    \
  template std::int32_t ParseLeadingInt(std::basic_string_view<CharT>);                                   \
  template std::uint32_t ParseHexField(std::basic_string_view<CharT>);

APP_TEXT_INSTANTIATE(char)
APP_TEXT_INSTANTIATE(char16_t)
#undef APP_TEXT_INSTANTIATE
