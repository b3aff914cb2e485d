// Version texts of firmware images and amplifiers, parsed by hand on ASCII code units so
// that no locale changes the result.
#include "application/firmware/FirmwareFile.h"

#include <limits>
#include <vector>

namespace {

template <typename CharT>
std::uint32_t Unit(CharT c)
{
    if constexpr (sizeof(CharT) == 1) {
        return static_cast<unsigned char>(c);
    } else {
        return static_cast<std::uint32_t>(c);
    }
}

// One or more decimal digits and nothing else, within 32 bits: a number field.
template <typename CharT>
bool ParseNumberField(std::basic_string_view<CharT> field, std::uint32_t& value)
{
    if (field.empty()) {
        return false;
    }
    std::uint64_t accumulated = 0;
    for (CharT c : field) {
        const std::uint32_t u = Unit(c);
        if (u < '0' || u > '9') {
            return false;
        }
        accumulated = accumulated * 10 + (u - '0');
        // A version that does not fit is no version, not a smaller one.
        if (accumulated > std::numeric_limits<std::uint32_t>::max()) {
            return false;
        }
    }
    value = static_cast<std::uint32_t>(accumulated);
    return true;
}

// 'V' or 'v' followed by a number field.
template <typename CharT>
bool ParseVersionField(std::basic_string_view<CharT> field, std::uint32_t& value)
{
    if (field.empty() || (Unit(field.front()) != 'V' && Unit(field.front()) != 'v')) {
        return false;
    }
    return ParseNumberField(field.substr(1), value);
}

// Fields between delimiters; consecutive delimiters give empty fields, a delimiter at the very
// end gives no empty last field.
template <typename CharT, typename IsDelimiter>
std::vector<std::basic_string_view<CharT>> SplitFields(std::basic_string_view<CharT> text, IsDelimiter isDelimiter)
{
    std::vector<std::basic_string_view<CharT>> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isDelimiter(Unit(text[i]))) {
            fields.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size()) {
        fields.push_back(text.substr(start));
    }
    return fields;
}

}  // namespace

bool ParseFirmwareFileName(std::string_view name, std::uint32_t& major, std::uint32_t& minor)
{
    const auto fields = SplitFields(name, [](std::uint32_t u) { return u == '_' || u == '.'; });
    if (fields.size() < 2) {
        return false;
    }
    std::uint32_t parsedMajor = 0;
    std::size_t minorField = 0;
    if (ParseVersionField(fields[1], parsedMajor)) {
        minorField = 2;
    } else if (fields.size() >= 3 && ParseVersionField(fields[2], parsedMajor)) {
        minorField = 3;
    } else {
        return false;
    }
    std::uint32_t parsedMinor = 0;
    if (minorField >= fields.size() || !ParseNumberField(fields[minorField], parsedMinor)) {
        return false;
    }
    major = parsedMajor;
    minor = parsedMinor;
    return true;
}

bool ParseDeviceFirmwareVersion(std::u16string_view text, std::uint32_t& major, std::uint32_t& minor)
{
    const auto fields = SplitFields(text, [](std::uint32_t u) { return u == '.'; });
    std::uint32_t parsedMajor = 0;
    std::uint32_t parsedMinor = 0;
    if (fields.size() != 2 || !ParseVersionField(fields[0], parsedMajor) || !ParseNumberField(fields[1], parsedMinor)) {
        return false;
    }
    major = parsedMajor;
    minor = parsedMinor;
    return true;
}

bool IsNewFirmwareClass(std::uint32_t major, std::uint32_t minor)
{
    return major > 3 || (major == 3 && minor >= 20);
}
