// The search of the Firmware folder.
#include "application/firmware/FirmwareFileList.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <utility>

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// Whether a file name matches a pattern with one '*' (any run of characters). Letter case
// does not count, as in the system's directory search.
bool MatchesFirmwarePattern(std::string_view name, std::string_view pattern)
{
    const std::size_t star = pattern.find('*');
    if (star == std::string_view::npos) {
        return EqualNoCase(name, pattern);
    }
    const std::string_view prefix = pattern.substr(0, star);
    const std::string_view suffix = pattern.substr(star + 1);
    return name.size() >= prefix.size() + suffix.size() && EqualNoCase(name.substr(0, prefix.size()), prefix) &&
           EqualNoCase(name.substr(name.size() - suffix.size()), suffix);
}

constexpr std::array<std::string_view, 2> kFirmwarePatterns = {kFirmwarePatternCobalt, kFirmwarePatternCorvantine};

}  // namespace

std::vector<FirmwareFile> BuildFirmwareFileList(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) {
        return {};
    }
    // The directory gives its entries in no particular order; by pattern and then by name they
    // come the same on every run, and the sort by version below keeps that order among equals.
    std::vector<std::pair<std::size_t, std::string>> names;
    for (const std::filesystem::directory_entry& entry : entries) {
        std::error_code kindError;
        if (entry.is_directory(kindError)) {
            continue;
        }
        std::string name = entry.path().filename().string();
        for (std::size_t pattern = 0; pattern < kFirmwarePatterns.size(); ++pattern) {
            if (MatchesFirmwarePattern(name, kFirmwarePatterns[pattern])) {
                names.emplace_back(pattern, std::move(name));
                break;
            }
        }
    }
    std::sort(names.begin(), names.end());
    std::vector<FirmwareFile> list;
    for (auto& found : names) {
        FirmwareFile file;
        if (ParseFirmwareFileName(found.second, file.major, file.minor)) {
            file.name = std::move(found.second);
            list.push_back(std::move(file));
        }
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const FirmwareFile& a, const FirmwareFile& b) { return a.Version() > b.Version(); });
    return list;
}

bool IsFirmwareImageReadable(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::array<char, 64 * 1024> buffer{};
    std::streamsize total = 0;
    while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || file.gcount() > 0) {
        total += file.gcount();
        if (file.eof()) {
            break;
        }
    }
    return !file.bad() && total > 0;
}
