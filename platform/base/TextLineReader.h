// Reads the program's text data files line by line: LF or CR LF line ends, an optional
// UTF-8 byte-order mark at the start. Lines come back as raw bytes, without their ends.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Data files are small; anything larger than this is refused rather than read.
inline constexpr std::size_t kTextFileMaxBytes = 16 * 1024 * 1024;

// The whole content of a file, or nothing if it cannot be opened, cannot be read in
// full or is larger than `maxBytes`.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes = kTextFileMaxBytes);

class TextLineReader {
public:
    explicit TextLineReader(std::string text);

    // Opens a file through ReadFileBytes.
    static std::optional<TextLineReader> FromFile(const std::filesystem::path& path,
                                                  std::size_t maxBytes = kTextFileMaxBytes);

    // The next line without its LF and without CRs right before it (or before the end
    // of the text). A CR inside a line is kept. False when no line is left; text after
    // the last LF counts as a line, an empty remainder does not.
    bool ReadLine(std::string& line);

    // 1-based number of the line last returned; 0 before the first.
    std::size_t LineNumber() const { return m_lineNumber; }

private:
    std::string m_text;
    std::size_t m_pos = 0;
    std::size_t m_lineNumber = 0;
};

}  // namespace platform
