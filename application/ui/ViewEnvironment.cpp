// Reading the view-layout file with the field tokenizer of the text data files.
#include "application/ui/ViewEnvironment.h"

#include "platform/base/TextTokenizer.h"
#include "platform/base/TextLineReader.h"

namespace {

constexpr std::string_view kFieldEnd = "\t\n";

bool IsSizeUsable(std::int32_t size)
{
    return size >= 0 && size <= kMaxViewLayoutSize;
}

}  // namespace

void ParseViewEnvironmentLine(std::string_view line, ViewEnvironment& record)
{
    TextCursor cursor(line);
    record.name = NextToken(cursor, kFieldEnd);
    record.kind = NextInt(cursor, kFieldEnd);
    record.row = NextInt(cursor, kFieldEnd);
    record.reservedInt = NextInt(cursor, kFieldEnd);
    const std::string stretch = NextToken(cursor, kFieldEnd);
    record.stretch = stretch == "x" || stretch == "X";
    record.reservedWord1 = NextHex(cursor, kFieldEnd);
    record.reservedWord2 = NextHex(cursor, kFieldEnd);
    record.gradientDirection = NextHex(cursor, kFieldEnd);
    record.meterOptions = NextHex(cursor, kFieldEnd);
    record.colourA = NextColor(cursor);
    record.colourB = NextColor(cursor);
    const auto [width, height] = NextIntPair(cursor);
    record.width = width;
    record.height = height;
    record.rectRight = width;
    record.rectBottom = height;
}

std::optional<std::vector<ViewEnvironment>> ReadViewEnvironmentFile(const std::filesystem::path& path)
{
    std::optional<platform::TextLineReader> reader = platform::TextLineReader::FromFile(path);
    if (!reader) {
        return std::nullopt;
    }
    std::vector<ViewEnvironment> records;
    std::string line;
    // The header names the columns; nothing in it is used.
    if (reader->ReadLine(line)) {
        while (reader->ReadLine(line)) {
            if (line.empty()) {
                continue;
            }
            ViewEnvironment record;
            ParseViewEnvironmentLine(line, record);
            if (!IsSizeUsable(record.width) || !IsSizeUsable(record.height)) {
                return std::nullopt;
            }
            records.push_back(std::move(record));
        }
    }
    return records;
}
