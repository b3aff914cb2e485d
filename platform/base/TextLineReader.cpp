// Text line reader over file bytes.
#include "platform/base/TextLineReader.h"

#include <fstream>
#include <utility>

namespace platform {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[16 * 1024];
    for (;;) {
        file.read(buffer, sizeof buffer);
        const auto got = static_cast<std::size_t>(file.gcount());
        if (got > maxBytes - content.size()) {
            return std::nullopt;
        }
        content.append(buffer, got);
        if (file.eof()) {
            return content;
        }
        if (!file) {
            return std::nullopt;
        }
    }
}

TextLineReader::TextLineReader(std::string text) : m_text(std::move(text))
{
    if (std::string_view(m_text).starts_with(kUtf8Bom)) {
        m_pos = kUtf8Bom.size();
    }
}

std::optional<TextLineReader> TextLineReader::FromFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    std::optional<std::string> bytes = ReadFileBytes(path, maxBytes);
    if (!bytes) {
        return std::nullopt;
    }
    return TextLineReader(std::move(*bytes));
}

bool TextLineReader::ReadLine(std::string& line)
{
    if (m_pos >= m_text.size()) {
        return false;
    }
    const std::size_t lf = m_text.find('\n', m_pos);
    const std::size_t end = lf == std::string::npos ? m_text.size() : lf;
    std::size_t stop = end;
    while (stop > m_pos && m_text[stop - 1] == '\r') {
        --stop;
    }
    line.assign(m_text, m_pos, stop - m_pos);
    m_pos = lf == std::string::npos ? m_text.size() : lf + 1;
    ++m_lineNumber;
    return true;
}

}  // namespace platform
