// Firmware version texts and the lines of the version-alias file on outside bytes. An alias
// line that parses writes back to a line that parses to the same pair.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "application/text/VersionHack.h"
#include "platform/base/VersionText.h"
#include "platform/base/TextLineReader.h"

namespace {

std::string Text(FirmwareVersion version)
{
    return "V" + std::to_string(version.major) + "." + std::to_string(version.minor);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ParseVersionPair(bytes);
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        wide.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    }
    ParseVersionPair(std::u16string_view(wide));

    platform::TextLineReader lines{std::string(bytes)};
    std::string line;
    while (lines.ReadLine(line)) {
        const auto pair = ParseVersionHackLine(line);
        if (!pair) {
            continue;
        }
        const auto again = ParseVersionHackLine(Text(pair->first) + " => " + Text(pair->second));
        if (!again || *again != *pair) {
            std::abort();
        }
    }
    return 0;
}
