#include "dsp_blocks/ui/LocaleNumbers.h"

#include <charconv>
#include <cmath>

#include <QList>
#include <QString>

#include "dsp_blocks/blocks/TextUtilities.h"
#include "platform/ui/core/UiLocale.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// What a field with format shows for value; a negative zero ("-0.00") reads as zero.
std::string ShownText(std::string_view format, double value)
{
    std::string text = FormatString(format, value);
    if (!text.empty() && text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

}  // namespace

std::string LocalizeDecimalPoint(std::string text)
{
    const std::string separator = platform::UiDecimalSeparatorText();
    if (separator == ".") {
        return text;
    }
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '.') {
            out += separator;
        } else {
            out += c;
        }
    }
    return out;
}

bool IsNumberText(std::string_view text)
{
    const char32_t separator = platform::UiDecimalSeparator();
    const QString wide = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (char32_t c : wide.toUcs4()) {
        const bool allowed = (c >= U'0' && c <= U'9') || c == U'-' || c == U'+' || c == separator;
        if (!allowed) {
            return false;
        }
    }
    return true;
}

std::string ToInvariantNumber(std::string_view text)
{
    const std::string separator = platform::UiDecimalSeparatorText();
    if (separator == "." || separator.empty()) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (text.substr(at, separator.size()) == separator) {
            out += '.';
            at += separator.size();
        } else {
            out += text[at];
            ++at;
        }
    }
    return out;
}

bool ParseLocaleNumber(std::string_view text, float& out)
{
    const std::string invariant = ToInvariantNumber(text);
    const std::u16string wide =
        QString::fromUtf8(invariant.data(), static_cast<qsizetype>(invariant.size())).toStdU16String();
    return ParseFloat(wide, out);
}

bool FitTypedIntoRange(double& value, double minimum, double maximum, std::string_view format)
{
    if (value >= minimum && value <= maximum) {
        return true;
    }
    if (std::isnan(value)) {
        return false;
    }
    // Texts, not a tolerance: the end and the typed number are each rounded once, by the
    // same formatting that showed the end.
    const double end = value < minimum ? minimum : maximum;
    if (ShownText(format, value) != ShownText(format, end)) {
        return false;
    }
    value = end;
    return true;
}

std::uint32_t ParseValueInRange(std::string_view text, float min, float max, std::string_view format, float& out)
{
    float parsed = 0.0f;
    if (!IsNumberText(text) || !ParseLocaleNumber(text, parsed)) {
        return kValueBadFormat;
    }
    double value = parsed;
    if (!FitTypedIntoRange(value, min, max, format)) {
        return kValueOutOfRange;
    }
    out = static_cast<float>(value);
    return kValueAccepted;
}

bool ParseLeadingNumber(std::string_view text, double& out)
{
    const std::string invariant = ToInvariantNumber(text);
    std::size_t at = 0;
    while (at < invariant.size() && (invariant[at] == ' ' || invariant[at] == '\t')) {
        ++at;
    }
    bool negative = false;
    if (at < invariant.size() && (invariant[at] == '+' || invariant[at] == '-')) {
        negative = invariant[at] == '-';
        ++at;
    }
    // from_chars would also take "inf" and "nan"; a typed value must start with a digit.
    const bool digitFirst = at < invariant.size() && IsDigit(invariant[at]);
    const bool pointFirst = at + 1 < invariant.size() && invariant[at] == '.' && IsDigit(invariant[at + 1]);
    if (!digitFirst && !pointFirst) {
        return false;
    }
    double value = 0.0;
    const char* first = invariant.data() + at;
    const auto [end, error] = std::from_chars(first, invariant.data() + invariant.size(), value);
    if (error != std::errc() || end == first || !std::isfinite(value)) {
        return false;
    }
    out = negative ? -value : value;
    return true;
}
