// Version texts of firmware images and amplifiers, parsed by hand on ASCII code units so
// that no locale changes the result.
#include "application/firmware/FirmwareFile.h"

#include <vector>

#include "platform/base/VersionText.h"

namespace {

// 'V' or 'v' followed by a number field.
template <typename CharT>
bool ParseVersionField(std::basic_string_view<CharT> field, std::uint32_t& value)
{
    if (field.empty() || (field.front() != CharT('V') && field.front() != CharT('v'))) {
        return false;
    }
    return ParseVersionNumber(field.substr(1), value);
}

// Fields between delimiters; consecutive delimiters give empty fields, a delimiter at the very
// end gives no empty last field.
template <typename CharT, typename IsDelimiter>
std::vector<std::basic_string_view<CharT>> SplitFields(std::basic_string_view<CharT> text, IsDelimiter isDelimiter)
{
    std::vector<std::basic_string_view<CharT>> fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isDelimiter(text[i])) {
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
    const auto fields = SplitFields(name, [](auto c) { return c == '_' || c == '.'; });
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
    if (minorField >= fields.size() || !ParseVersionNumber(fields[minorField], parsedMinor)) {
        return false;
    }
    major = parsedMajor;
    minor = parsedMinor;
    return true;
}

bool ParseDeviceFirmwareVersion(std::u16string_view text, std::uint32_t& major, std::uint32_t& minor)
{
    const auto fields = SplitFields(text, [](auto c) { return c == '.'; });
    std::uint32_t parsedMajor = 0;
    std::uint32_t parsedMinor = 0;
    if (fields.size() != 2 || !ParseVersionField(fields[0], parsedMajor) || !ParseVersionNumber(fields[1], parsedMinor)) {
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
