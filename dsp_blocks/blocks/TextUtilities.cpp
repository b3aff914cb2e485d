// Locale-independent field splitting and number parsing.
#include "dsp_blocks/blocks/TextUtilities.h"

#include <cmath>

namespace {

bool IsDelimiter(char16_t c, std::u16string_view delimiters)
{
    return delimiters.find(c) != std::u16string_view::npos;
}

std::size_t SkipSpaces(std::u16string_view text, std::size_t i)
{
    while (i < text.size() && text[i] == u' ') {
        ++i;
    }
    return i;
}

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

bool IsDecimalDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

}  // namespace

std::size_t SplitString(std::u16string_view text, std::vector<std::u16string>& out,
                        std::u16string_view delimiters)
{
    out.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsDelimiter(text[i], delimiters)) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsDelimiter(text[i], delimiters)) {
            ++i;
        }
        if (i > start) {
            out.emplace_back(text.substr(start, i - start));
        }
    }
    return out.size();
}

std::uint32_t ParseHex(std::u16string_view text)
{
    std::size_t i = SkipSpaces(text, 0);
    if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        i += 2;
    }
    if (i >= text.size() || HexDigit(text[i]) < 0) {
        return 0;
    }
    std::uint32_t value = 0;
    while (i < text.size() && HexDigit(text[i]) >= 0) {
        value = value * 16u + static_cast<std::uint32_t>(HexDigit(text[i]));
        ++i;
    }
    i = SkipSpaces(text, i);
    return i == text.size() ? value : 0;
}

bool ParseFloat(std::u16string_view text, float& out)
{
    std::size_t i = SkipSpaces(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    float integerPart = 0.0f;
    std::size_t digits = 0;
    while (i < text.size() && IsDecimalDigit(text[i])) {
        integerPart = integerPart * 10.0f + static_cast<float>(text[i] - u'0');
        ++i;
        ++digits;
    }
    float fraction = 0.0f;
    float scale = 1.0f;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && IsDecimalDigit(text[i])) {
            // Digits past what single precision can resolve are read but no longer
            // accumulated, so a long fraction cannot overflow into infinity.
            if (scale < 1e30f) {
                fraction = fraction * 10.0f + static_cast<float>(text[i] - u'0');
                scale *= 10.0f;
            }
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    i = SkipSpaces(text, i);
    if (i != text.size()) {
        return false;
    }
    float value = integerPart + fraction / scale;
    if (negative) {
        value = -value;
    }
    // A run of digits longer than single precision can hold ends as infinity or NaN.
    if (!std::isfinite(value)) {
        return false;
    }
    out = value;
    return true;
}
