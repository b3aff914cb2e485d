// Reading the list file's entry and directive lines.
#include "dsp_blocks/speaker_eq/SpeakerEqListFile.h"

#include <optional>

#include "platform/base/Cp1252.h"

namespace speaker_eq {
namespace {

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

void SkipBlanks(std::u16string_view line, std::size_t& pos)
{
    while (pos < line.size() && IsBlank(line[pos])) {
        ++pos;
    }
}

bool OnlyBlanksFrom(std::u16string_view line, std::size_t pos)
{
    SkipBlanks(line, pos);
    return pos == line.size();
}

// A text in double quotes at pos (no escapes: a name cannot hold a double quote).
std::optional<std::u16string> ReadQuoted(std::u16string_view line, std::size_t& pos)
{
    if (pos >= line.size() || line[pos] != u'"') {
        return std::nullopt;
    }
    const std::size_t close = line.find(u'"', pos + 1);
    if (close == std::u16string_view::npos) {
        return std::nullopt;
    }
    std::u16string text(line.substr(pos + 1, close - pos - 1));
    pos = close + 1;
    return text;
}

struct EntryLine {
    std::u16string name;
    std::u16string eqName;
};

std::optional<EntryLine> ParseEntryLine(std::u16string_view line)
{
    std::size_t pos = 0;
    std::optional<std::u16string> name = ReadQuoted(line, pos);
    if (!name) {
        return std::nullopt;
    }
    SkipBlanks(line, pos);
    if (pos == line.size()) {
        return EntryLine{*name, *name};
    }
    if (line.substr(pos, 2) != u"<-") {
        return std::nullopt;
    }
    pos += 2;
    SkipBlanks(line, pos);
    std::optional<std::u16string> eqName = ReadQuoted(line, pos);
    if (!eqName || !OnlyBlanksFrom(line, pos)) {
        return std::nullopt;
    }
    return EntryLine{*name, *eqName};
}

bool IsWordChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

struct Directive {
    std::u16string word;
    std::u16string value;
};

std::optional<Directive> ParseDirective(std::u16string_view line)
{
    if (line.empty() || line[0] != u'$') {
        return std::nullopt;
    }
    std::size_t pos = 1;
    const std::size_t wordStart = pos;
    while (pos < line.size() && IsWordChar(line[pos])) {
        ++pos;
    }
    if (pos == wordStart) {
        return std::nullopt;
    }
    Directive directive;
    directive.word = std::u16string(line.substr(wordStart, pos - wordStart));
    SkipBlanks(line, pos);
    if (pos < line.size() && line[pos] == u'=') {
        ++pos;
        SkipBlanks(line, pos);
    }
    std::optional<std::u16string> value = ReadQuoted(line, pos);
    if (!value || !OnlyBlanksFrom(line, pos)) {
        return std::nullopt;
    }
    directive.value = std::move(*value);
    return directive;
}

std::string ToUtf8ForLog(std::u16string_view text)
{
    // Only for messages: characters beyond the code page show as '?'.
    return platform::Cp1252ToUtf8(platform::Utf16ToCp1252(text));
}

// A preset's name is stored in designs as Windows-1252 bytes; a name that would not
// survive that, or that the limiter's blob cannot carry, is refused now rather than
// lost when the preset is chosen.
bool CheckPresetName(std::u16string_view name, std::string& error)
{
    if (name.empty()) {
        error = "a preset has an empty name";
        return false;
    }
    bool lossless = false;
    const std::string bytes = platform::Utf16ToCp1252(name, platform::kCp1252Replacement, &lossless);
    if (!lossless) {
        error = "the preset name \"" + ToUtf8ForLog(name) + "\" has characters outside Windows-1252";
        return false;
    }
    if (bytes.size() > kMaxPresetNameBytes) {
        error = "the preset name \"" + ToUtf8ForLog(name) + "\" is longer than " +
                std::to_string(kMaxPresetNameBytes) + " bytes";
        return false;
    }
    return true;
}

// The definition file lives in the same folder as the list: a bare file name only.
bool IsBareFileName(std::u16string_view name)
{
    return !name.empty() && name != u"." && name != u".." && name.find(u'/') == std::u16string_view::npos &&
           name.find(u'\\') == std::u16string_view::npos && name.find(u'\0') == std::u16string_view::npos;
}

}  // namespace

bool ParseSpeakerEqList(std::u16string_view text, SpeakerEqList& out, std::string& error)
{
    out = SpeakerEqList{};
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) {
            end = text.size();
        }
        std::u16string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        while (!line.empty() && line.back() == u'\r') {
            line.remove_suffix(1);
        }
        std::size_t pos = 0;
        SkipBlanks(line, pos);
        line.remove_prefix(pos);
        if (line.empty() || line[0] == u'#') {
            continue;
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (std::optional<EntryLine> entry = ParseEntryLine(line)) {
            if (!CheckPresetName(entry->name, error)) {
                error = where + error;
                return false;
            }
            if (out.entries.size() >= kMaxPresetCount) {
                error = where + "more than " + std::to_string(kMaxPresetCount) + " presets";
                return false;
            }
            SpeakerEqPreset preset;
            preset.name = std::move(entry->name);
            preset.eqName = std::move(entry->eqName);
            out.entries.push_back(std::move(preset));
            continue;
        }
        std::optional<Directive> directive = ParseDirective(line);
        if (!directive || directive->word != u"load") {
            error = where + "neither a preset nor a known directive";
            return false;
        }
        if (!IsBareFileName(directive->value)) {
            error = where + "the definition file must be a file name in the Data folder";
            return false;
        }
        out.definitionFile = std::move(directive->value);
    }
    return true;
}

}  // namespace speaker_eq
