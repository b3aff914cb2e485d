// The formatter behind FormatString: a small printf that never reads an argument of the wrong
// kind and never consults the C locale.
#include "resources/strings/StringFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr int kMaxWidth = 1024;

struct Spec {
  bool leftAlign = false;
  bool plusSign = false;
  bool spaceSign = false;
  bool alternate = false;
  bool zeroPad = false;
  int width = 0;
  std::optional<int> precision;
  bool wide = false; // a 64-bit length modifier was given
  char conversion = 0;
};

enum class ConversionClass { SignedInt, UnsignedInt, Real, Text, Char, Unknown };

ConversionClass Classify(char c) {
  switch (c) {
    case 'd':
    case 'i':
      return ConversionClass::SignedInt;
    case 'u':
    case 'o':
    case 'x':
    case 'X':
      return ConversionClass::UnsignedInt;
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
      return ConversionClass::Real;
    case 's':
      return ConversionClass::Text;
    case 'c':
      return ConversionClass::Char;
    default:
      return ConversionClass::Unknown;
  }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int ReadNumber(std::string_view format, std::size_t& pos) {
  int value = 0;
  while (pos < format.size() && IsDigit(format[pos])) {
    value = std::min(kMaxWidth, value * 10 + (format[pos] - '0'));
    ++pos;
  }
  return value;
}

// Parses the conversion that starts just after a '%' at `pos`. On success `pos` is past the
// conversion character; on failure nothing is returned and `pos` is unspecified.
std::optional<Spec> ParseSpec(std::string_view format, std::size_t& pos) {
  Spec spec;
  for (; pos < format.size(); ++pos) {
    char c = format[pos];
    if (c == '-') {
      spec.leftAlign = true;
    } else if (c == '+') {
      spec.plusSign = true;
    } else if (c == ' ') {
      spec.spaceSign = true;
    } else if (c == '#') {
      spec.alternate = true;
    } else if (c == '0') {
      spec.zeroPad = true;
    } else {
      break;
    }
  }
  spec.width = ReadNumber(format, pos);
  if (pos < format.size() && format[pos] == '.') {
    ++pos;
    spec.precision = ReadNumber(format, pos);
  }
  auto startsWith = [&](std::string_view s) { return format.substr(pos).starts_with(s); };
  if (startsWith("I64")) {
    spec.wide = true;
    pos += 3;
  } else if (startsWith("I32")) {
    pos += 3;
  } else if (startsWith("hh") || startsWith("ll")) {
    spec.wide = format[pos] == 'l';
    pos += 2;
  } else if (pos < format.size() &&
             std::string_view("hlLjztIw").find(format[pos]) != std::string_view::npos) {
    spec.wide = std::string_view("ljztI").find(format[pos]) != std::string_view::npos;
    ++pos;
  }
  if (pos >= format.size() || Classify(format[pos]) == ConversionClass::Unknown) {
    return std::nullopt;
  }
  spec.conversion = format[pos++];
  return spec;
}

void Pad(std::string& out, int count, char fill) {
  if (count > 0) {
    out.append(static_cast<std::size_t>(count), fill);
  }
}

// Writes prefix (sign or "0x") and body with the width rules of printf.
void EmitField(std::string& out, const Spec& spec, std::string_view prefix, std::string_view body,
               bool zeroPadAllowed) {
  int length = static_cast<int>(prefix.size() + body.size());
  int padding = spec.width - length;
  if (spec.leftAlign) {
    out.append(prefix);
    out.append(body);
    Pad(out, padding, ' ');
  } else if (spec.zeroPad && zeroPadAllowed) {
    out.append(prefix);
    Pad(out, padding, '0');
    out.append(body);
  } else {
    Pad(out, padding, ' ');
    out.append(prefix);
    out.append(body);
  }
}

std::optional<std::int64_t> RealToInteger(double value) {
  // Both bounds are exact powers of two, so the comparison is exact.
  if (!std::isfinite(value) || value < -9223372036854775808.0 || value >= 9223372036854775808.0) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(value);
}

void EmitInteger(std::string& out, const Spec& spec, const FormatArg& arg) {
  bool negative = false;
  std::uint64_t magnitude = 0;
  bool signedConversion = Classify(spec.conversion) == ConversionClass::SignedInt;
  std::int64_t signedValue = 0;
  bool isSigned = true;
  switch (arg.kind()) {
    case FormatArg::Kind::Signed:
      signedValue = arg.AsSigned();
      break;
    case FormatArg::Kind::Unsigned:
      isSigned = false;
      magnitude = arg.AsUnsigned();
      break;
    case FormatArg::Kind::Real:
      signedValue = RealToInteger(arg.AsReal()).value_or(0);
      break;
    case FormatArg::Kind::Text:
      return;
  }
  if (isSigned) {
    if (signedValue < 0) {
      if (signedConversion) {
        negative = true;
        magnitude = 0 - static_cast<std::uint64_t>(signedValue);
      } else {
        magnitude = static_cast<std::uint64_t>(signedValue);
        if (!spec.wide) {
          magnitude &= 0xFFFFFFFFu;
        }
      }
    } else {
      magnitude = static_cast<std::uint64_t>(signedValue);
    }
  }

  int base = 10;
  if (spec.conversion == 'x' || spec.conversion == 'X') {
    base = 16;
  } else if (spec.conversion == 'o') {
    base = 8;
  }
  char digits[72];
  std::string body;
  // printf writes no digits for the value 0 with precision 0.
  if (!(magnitude == 0 && spec.precision && *spec.precision == 0)) {
    auto result = std::to_chars(digits, digits + sizeof digits, magnitude, base);
    body.assign(digits, result.ptr);
  }
  if (spec.conversion == 'X') {
    for (char& c : body) {
      if (c >= 'a' && c <= 'f') {
        c = static_cast<char>(c - 'a' + 'A');
      }
    }
  }
  if (spec.precision && static_cast<int>(body.size()) < *spec.precision) {
    body.insert(0, static_cast<std::size_t>(*spec.precision) - body.size(), '0');
  }
  if (spec.alternate && spec.conversion == 'o' && (body.empty() || body[0] != '0')) {
    body.insert(0, 1, '0');
  }
  std::string prefix;
  if (signedConversion) {
    if (negative) {
      prefix = "-";
    } else if (spec.plusSign) {
      prefix = "+";
    } else if (spec.spaceSign) {
      prefix = " ";
    }
  }
  if (spec.alternate && magnitude != 0 && (spec.conversion == 'x' || spec.conversion == 'X')) {
    prefix += spec.conversion == 'x' ? "0x" : "0X";
  }
  EmitField(out, spec, prefix, body, !spec.precision);
}

void EmitReal(std::string& out, const Spec& spec, const FormatArg& arg) {
  double value = 0.0;
  switch (arg.kind()) {
    case FormatArg::Kind::Signed:
      value = static_cast<double>(arg.AsSigned());
      break;
    case FormatArg::Kind::Unsigned:
      value = static_cast<double>(arg.AsUnsigned());
      break;
    case FormatArg::Kind::Real:
      value = arg.AsReal();
      break;
    case FormatArg::Kind::Text:
      return;
  }
  int precision = spec.precision.value_or(6);
  std::chars_format style = std::chars_format::fixed;
  char lower = static_cast<char>(spec.conversion | 0x20);
  if (lower == 'e') {
    style = std::chars_format::scientific;
  } else if (lower == 'g') {
    style = std::chars_format::general;
  }
  bool negative = std::signbit(value);
  double magnitude = std::fabs(value);
  std::string body;
  if (std::isnan(magnitude)) {
    body = "nan";
  } else if (std::isinf(magnitude)) {
    body = "inf";
  } else {
    // The largest fixed rendering of a double is 309 digits plus the precision.
    char digits[309 + kMaxWidth + 8];
    auto result = std::to_chars(digits, digits + sizeof digits, magnitude, style, precision);
    body.assign(digits, result.ptr);
  }
  if (spec.conversion == 'F' || spec.conversion == 'E' || spec.conversion == 'G') {
    for (char& c : body) {
      if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
      }
    }
  }
  std::string_view prefix;
  if (negative) {
    prefix = "-";
  } else if (spec.plusSign) {
    prefix = "+";
  } else if (spec.spaceSign) {
    prefix = " ";
  }
  EmitField(out, spec, prefix, body, std::isfinite(value));
}

void EmitText(std::string& out, const Spec& spec, const FormatArg& arg) {
  if (arg.kind() != FormatArg::Kind::Text) {
    return;
  }
  std::string_view text = arg.AsText();
  if (spec.precision) {
    text = text.substr(0, static_cast<std::size_t>(*spec.precision));
  }
  EmitField(out, spec, {}, text, false);
}

void EmitChar(std::string& out, const Spec& spec, const FormatArg& arg) {
  char c = 0;
  switch (arg.kind()) {
    case FormatArg::Kind::Signed:
      c = static_cast<char>(arg.AsSigned() & 0xFF);
      break;
    case FormatArg::Kind::Unsigned:
      c = static_cast<char>(arg.AsUnsigned() & 0xFF);
      break;
    case FormatArg::Kind::Real:
    case FormatArg::Kind::Text:
      return;
  }
  EmitField(out, spec, {}, std::string_view(&c, 1), false);
}

// Reads a format the one way both the formatter and the kind list must agree on: literal
// text goes to `onText` (a "%%" as one '%'), each conversion to `onConversion`; a '%' that
// starts no valid conversion reaches `onConversion` as nothing, and reading resumes at the
// character after it, so the rest is read normally.
template <typename OnText, typename OnConversion>
void WalkFormat(std::string_view format, OnText onText, OnConversion onConversion) {
  std::size_t pos = 0;
  while (pos < format.size()) {
    char c = format[pos];
    if (c != '%') {
      onText(c);
      ++pos;
      continue;
    }
    if (pos + 1 < format.size() && format[pos + 1] == '%') {
      onText('%');
      pos += 2;
      continue;
    }
    std::size_t start = pos;
    ++pos;
    std::optional<Spec> spec = ParseSpec(format, pos);
    if (!spec) {
      pos = start + 1;
    }
    onConversion(spec);
  }
}

} // namespace

std::string FormatStringArgs(std::string_view format, std::span<const FormatArg> args) {
  std::string out;
  out.reserve(format.size());
  std::size_t nextArg = 0;
  WalkFormat(
      format, [&out](char c) { out.push_back(c); },
      [&](const std::optional<Spec>& spec) {
        if (!spec) {
          // Copy the '%' alone; the rest is read normally.
          out.push_back('%');
          return;
        }
        if (nextArg >= args.size()) {
          return;
        }
        const FormatArg& arg = args[nextArg++];
        switch (Classify(spec->conversion)) {
          case ConversionClass::SignedInt:
          case ConversionClass::UnsignedInt:
            EmitInteger(out, *spec, arg);
            break;
          case ConversionClass::Real:
            EmitReal(out, *spec, arg);
            break;
          case ConversionClass::Text:
            EmitText(out, *spec, arg);
            break;
          case ConversionClass::Char:
            EmitChar(out, *spec, arg);
            break;
          case ConversionClass::Unknown:
            break;
        }
      });
  return out;
}

std::string FormatConversionKinds(std::string_view format) {
  std::string kinds;
  WalkFormat(
      format, [](char) {},
      [&kinds](const std::optional<Spec>& spec) {
        if (!spec) {
          kinds.push_back('?');
          return;
        }
        switch (Classify(spec->conversion)) {
          case ConversionClass::SignedInt:
            kinds.push_back('i');
            break;
          case ConversionClass::UnsignedInt:
            kinds.push_back('u');
            break;
          case ConversionClass::Real:
            kinds.push_back('f');
            break;
          case ConversionClass::Text:
            kinds.push_back('s');
            break;
          case ConversionClass::Char:
            kinds.push_back('c');
            break;
          case ConversionClass::Unknown:
            kinds.push_back('?');
            break;
        }
      });
  return kinds;
}
