// Field tokenizer over one line of a text data file (block diagrams, view layout). Fields end
// at the first delimiter, which is consumed; nothing is trimmed, so consecutive delimiters give
// empty fields, and a missing field reads as empty text that converts to 0. Works on narrow
// (ANSI/UTF-8 bytes) and UTF-16 lines alike; every conversion is independent of the locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

template <typename CharT>
class BasicTextCursor {
 public:
  explicit BasicTextCursor(std::basic_string_view<CharT> text) : text_(text) {}

  std::basic_string_view<CharT> Text() const { return text_; }
  std::size_t Position() const { return pos_; }
  bool AtEnd() const { return pos_ >= text_.size(); }
  std::basic_string_view<CharT> Rest() const { return text_.substr(pos_); }
  void MoveTo(std::size_t position) { pos_ = position < text_.size() ? position : text_.size(); }

 private:
  std::basic_string_view<CharT> text_;
  std::size_t pos_ = 0;
};

using TextCursor = BasicTextCursor<char>;
using TextCursor16 = BasicTextCursor<char16_t>;

// Delimiter sets of the colour and pair fields: the first components end at a comma or a
// double quote, the last one also at a tab or a line feed.
inline constexpr std::string_view kComponentDelimiters = ",\"";
inline constexpr std::string_view kLastComponentDelimiters = ",\"\t\n";

// The text from the cursor up to the first character of `delimiters` (not included); the
// cursor moves just past that delimiter, or to the end when none follows. At the end: empty
// text, cursor unchanged. Delimiters are ASCII characters.
template <typename CharT>
std::basic_string<CharT> NextToken(BasicTextCursor<CharT>& cursor, std::string_view delimiters);

// NextToken, then a decimal integer: leading white space, an optional sign, digits up to the
// first other character. No digits, or a value outside the i32 range, gives 0.
template <typename CharT>
std::int32_t NextInt(BasicTextCursor<CharT>& cursor, std::string_view delimiters);

// NextToken, then: optional spaces, optional "0x"/"0X", one or more hexadecimal digits,
// optional spaces, end of token. Anything else, or a value above 32 bits, gives 0.
template <typename CharT>
std::uint32_t NextHex(BasicTextCursor<CharT>& cursor, std::string_view delimiters);

// Three NextInt fields "red,green,blue" as the colour word 0x00BBGGRR (each component's low
// 8 bits).
template <typename CharT>
std::uint32_t NextColor(BasicTextCursor<CharT>& cursor);

// Two NextInt fields "first,second".
template <typename CharT>
std::pair<std::int32_t, std::int32_t> NextIntPair(BasicTextCursor<CharT>& cursor);

// The conversions on their own, for callers that already hold a field.
template <typename CharT>
std::int32_t ParseLeadingInt(std::basic_string_view<CharT> text);
template <typename CharT>
std::uint32_t ParseHexField(std::basic_string_view<CharT> text);
