// The program-wide version-alias table and the reader of its file.
#include "application/text/VersionHack.h"

#include <cstdint>
#include <limits>
#include <mutex>

#include "platform/base/ProgramFolders.h"
#include "platform/base/TextLineReader.h"

namespace {

// Looked up from the user-interface thread and from amplifier workers; loaded once.
std::mutex g_tableMutex;
std::map<FirmwareVersion, FirmwareVersion> g_table;  // guarded by g_tableMutex

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

void SkipBlanks(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && IsBlank(line[pos])) {
    ++pos;
  }
}

bool ReadNumber(std::string_view line, std::size_t& pos, std::uint32_t& out) {
  std::uint64_t value = 0;
  std::size_t start = pos;
  while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
    value = value * 10 + static_cast<std::uint64_t>(line[pos] - '0');
    // A number that does not fit is a malformed line, not a wrapped alias.
    if (value > std::numeric_limits<std::uint32_t>::max()) {
      return false;
    }
    ++pos;
  }
  out = static_cast<std::uint32_t>(value);
  return pos > start;
}

// Optional blanks, 'V' or 'v', digits, '.', digits.
bool ReadAliasVersion(std::string_view line, std::size_t& pos, FirmwareVersion& out) {
  SkipBlanks(line, pos);
  if (pos >= line.size() || (line[pos] != 'V' && line[pos] != 'v')) {
    return false;
  }
  ++pos;
  if (!ReadNumber(line, pos, out.major)) {
    return false;
  }
  if (pos >= line.size() || line[pos] != '.') {
    return false;
  }
  ++pos;
  return ReadNumber(line, pos, out.minor);
}

} // namespace

std::optional<std::pair<FirmwareVersion, FirmwareVersion>> ParseVersionHackLine(std::string_view line) {
  std::size_t pos = 0;
  SkipBlanks(line, pos);
  if (pos >= line.size() || line[pos] == '#') {
    return std::nullopt;
  }
  FirmwareVersion source;
  if (!ReadAliasVersion(line, pos, source)) {
    return std::nullopt;
  }
  SkipBlanks(line, pos);
  if (line.substr(pos, 2) != "=>") {
    return std::nullopt;
  }
  pos += 2;
  if (pos < line.size() && !IsBlank(line[pos]) && !IsAsciiAlnum(line[pos])) {
    return std::nullopt;
  }
  FirmwareVersion target;
  if (!ReadAliasVersion(line, pos, target)) {
    return std::nullopt;
  }
  return std::make_pair(source, target);
}

bool LoadVersionHackFile(const std::filesystem::path& path) {
  std::map<FirmwareVersion, FirmwareVersion> table;
  std::optional<platform::TextLineReader> reader = platform::TextLineReader::FromFile(path);
  bool opened = reader.has_value();
  if (opened) {
    std::string line;
    while (reader->ReadLine(line)) {
      if (auto alias = ParseVersionHackLine(line)) {
        table[alias->first] = alias->second;
      }
    }
  }
  std::lock_guard lock(g_tableMutex);
  g_table = std::move(table);
  return opened;
}

bool LoadVersionHack() { return LoadVersionHackFile(GetDataFolder() / kVersionHackFileName); }

bool LookupVersionHack(FirmwareVersion& version) {
  std::lock_guard lock(g_tableMutex);
  auto it = g_table.find(version);
  if (it == g_table.end()) {
    return false;
  }
  version = it->second;
  return true;
}

std::map<FirmwareVersion, FirmwareVersion> VersionHackEntries() {
  std::lock_guard lock(g_tableMutex);
  return g_table;
}

void ClearVersionHack() {
  std::lock_guard lock(g_tableMutex);
  g_table.clear();
}
