// Walking the definition file with the pull reader and filling preset definitions.
#include "dsp_blocks/speaker_eq/SpeakerEqDefinitions.h"

#include <charconv>
#include <cmath>
#include <set>
#include <system_error>

#include "dsp_blocks/blocks/ParamRanges.h"
#include "dsp_blocks/filters/FilterTypeTable.h"
#include "dsp_blocks/speaker_eq/TextConversion.h"
#include "dsp_blocks/speaker_eq/XmlPullReader.h"

namespace speaker_eq {
namespace {

// How one element came out: usable, unusable (its content was consumed anyway, so the
// walk goes on), or the reader itself failed (the walk must stop).
enum class Parse { Ok, Bad, ReaderFailed };

Parse Worse(Parse a, Parse b)
{
    if (a == Parse::ReaderFailed || b == Parse::ReaderFailed) {
        return Parse::ReaderFailed;
    }
    return (a == Parse::Bad || b == Parse::Bad) ? Parse::Bad : Parse::Ok;
}

std::string_view TrimXmlSpace(std::string_view text)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

const std::string* FindAttribute(const XmlPullReader& reader, std::string_view name)
{
    for (const auto& [key, value] : reader.Attributes()) {
        if (key == name) {
            return &value;
        }
    }
    return nullptr;
}

// Keeps the first reason a definition cannot be used, for the load message.
void Note(std::string& problem, const std::string& reason)
{
    if (problem.empty()) {
        problem = reason;
    }
}

std::string Number(float value)
{
    char text[32];
    const auto [end, status] = std::to_chars(text, text + sizeof text, value);
    return status == std::errc() ? std::string(text, end) : std::string("?");
}

// A value the blocks would not take: the load names it rather than letting a block
// change it silently.
bool CheckRange(std::string& problem, const std::string& what, float value, float low, float high,
                const char* unit)
{
    if (ParamRange::IsWithin(value, low, high)) {
        return true;
    }
    Note(problem, what + " " + Number(value) + " is outside " + Number(low) + " to " + Number(high) + unit);
    return false;
}

// Reads the children of the element just returned by Read: each child element goes to
// onChild (which must consume it whole), everything else is passed over. Ends after the
// element's end tag.
template <typename OnChild>
Parse ForEachChild(XmlPullReader& reader, OnChild onChild)
{
    if (reader.IsEmptyElement()) {
        return Parse::Ok;
    }
    const int depth = reader.Depth();
    Parse result = Parse::Ok;
    for (;;) {
        switch (reader.Read()) {
        case XmlNode::Element:
            result = Worse(result, onChild());
            if (result == Parse::ReaderFailed) {
                return result;
            }
            break;
        case XmlNode::EndElement:
            if (reader.Depth() == depth) {
                return result;
            }
            break;
        case XmlNode::End:
        case XmlNode::Error:
            return Parse::ReaderFailed;
        default:
            break;
        }
    }
}

Parse Skip(XmlPullReader& reader)
{
    return reader.SkipElement() ? Parse::Ok : Parse::ReaderFailed;
}

// The text content of a leaf element; an element with elements inside has no text.
Parse ReadText(XmlPullReader& reader, std::u16string& out)
{
    out.clear();
    if (reader.IsEmptyElement()) {
        return Parse::Ok;
    }
    const int depth = reader.Depth();
    std::string text;
    Parse result = Parse::Ok;
    for (;;) {
        switch (reader.Read()) {
        case XmlNode::Text:
            text += reader.Value();
            break;
        case XmlNode::Element:
            result = Parse::Bad;
            if (!reader.SkipElement()) {
                return Parse::ReaderFailed;
            }
            break;
        case XmlNode::EndElement:
            if (reader.Depth() == depth) {
                if (result == Parse::Ok) {
                    std::optional<std::u16string> decoded = Utf8ToUtf16(TrimXmlSpace(text));
                    if (!decoded) {
                        return Parse::Bad;
                    }
                    out = std::move(*decoded);
                }
                return result;
            }
            break;
        case XmlNode::End:
        case XmlNode::Error:
            return Parse::ReaderFailed;
        default:
            break;
        }
    }
}

// An attribute read by `parse`: absent leaves value, present must parse (a number must be
// finite, a flag one of the boolean words).
template <typename T>
bool ReadAttribute(const XmlPullReader& reader, std::string_view name, std::optional<T> (*parse)(std::string_view),
                   T& value, bool& present)
{
    present = false;
    const std::string* text = FindAttribute(reader, name);
    if (text == nullptr) {
        return true;
    }
    const std::optional<T> parsed = parse(*text);
    if (!parsed) {
        return false;
    }
    value = *parsed;
    present = true;
    return true;
}

bool ReadNumberAttribute(const XmlPullReader& reader, std::string_view name, float& value, bool& present)
{
    return ReadAttribute(reader, name, ParseXmlNumber, value, present);
}

bool ReadBooleanAttribute(const XmlPullReader& reader, std::string_view name, bool& value, bool& present)
{
    return ReadAttribute(reader, name, ParseXmlBoolean, value, present);
}

// True when the crossover block designs the type (the library syntax also names slopes
// it does not offer).
bool CrossoverOffers(std::uint32_t code)
{
    for (const FilterTypeEntry& entry : FilterTypeTable) {
        if (static_cast<std::uint32_t>(entry.typeCode) == code) {
            return true;
        }
    }
    return false;
}

// HighPass or LowPass: freq, filterType, bypass.
Parse ParseCrossoverFilter(XmlPullReader& reader, std::uint32_t& type, float& frequency, std::string& problem)
{
    const std::string element = reader.Name();
    bool ok = true;
    bool present = false;
    float newFrequency = frequency;
    if (!ReadNumberAttribute(reader, "freq", newFrequency, present)) {
        Note(problem, element + " freq is not a number");
        ok = false;
    } else if (present) {
        ok = CheckRange(problem, element + " freq", newFrequency, ParamRange::kMinFrequency,
                        ParamRange::kMaxFrequency, " Hz") &&
             ok;
    }
    std::uint32_t newType = type;
    if (const std::string* text = FindAttribute(reader, "filterType")) {
        const std::optional<std::uint32_t> code = ParseCrossoverType(*text);
        if (code && CrossoverOffers(*code)) {
            newType = *code;
        } else {
            Note(problem, element + " filterType \"" + *text + "\" is not a filter the crossover offers");
            ok = false;
        }
    }
    bool bypass = false;
    if (!ReadBooleanAttribute(reader, "bypass", bypass, present)) {
        Note(problem, element + " bypass is neither True nor False");
        ok = false;
    }
    if (bypass) {
        newType = CrossoverCode::kNone;
    }
    if (ok) {
        type = newType;
        frequency = newFrequency;
    }
    const Parse rest = Skip(reader);
    return Worse(ok ? Parse::Ok : Parse::Bad, rest);
}

Parse ParseBandPass(XmlPullReader& reader, SpeakerEqPreset& preset, std::string& problem)
{
    return ForEachChild(reader, [&]() {
        if (reader.Name() == "HighPass") {
            return ParseCrossoverFilter(reader, preset.highPassType, preset.highPassFrequency, problem);
        }
        if (reader.Name() == "LowPass") {
            return ParseCrossoverFilter(reader, preset.lowPassType, preset.lowPassFrequency, problem);
        }
        return Skip(reader);
    });
}

bool ParseBandAttributes(const XmlPullReader& reader, bool usingBandwidth, SpeakerEqPreset& preset,
                         std::string& problem)
{
    const std::string* indexText = FindAttribute(reader, "index");
    if (indexText == nullptr) {
        Note(problem, "a Band has no index");
        return false;
    }
    const std::string_view trimmed = TrimBlanks(*indexText);
    int index = 0;
    const auto [end, status] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), index);
    if (status != std::errc() || end != trimmed.data() + trimmed.size() || index < 1 ||
        index > static_cast<int>(kBandCount)) {
        Note(problem, "Band index \"" + *indexText + "\" is not 1 to 9");
        return false;
    }
    const std::string band = "Band " + std::to_string(index);
    const auto refuse = [&](const std::string& reason) {
        Note(problem, band + " " + reason);
        return false;
    };
    bool bypass = false;
    bool present = false;
    if (!ReadBooleanAttribute(reader, "bypass", bypass, present)) {
        return refuse("bypass is neither True nor False");
    }
    std::optional<std::uint32_t> type;
    if (const std::string* typeText = FindAttribute(reader, "type")) {
        type = ParseBandType(*typeText);
    }
    if (!type && !bypass) {
        return refuse("type is not PEQ, HighShelf or LowShelf");
    }
    float frequency = 0.0f;
    float gain = 0.0f;
    float width = 0.0f;
    bool hasFrequency = false;
    bool hasGain = false;
    bool hasWidth = false;
    if (!ReadNumberAttribute(reader, "freq", frequency, hasFrequency) ||
        !ReadNumberAttribute(reader, "gain", gain, hasGain) ||
        !ReadNumberAttribute(reader, "width", width, hasWidth)) {
        return refuse("has a freq, gain or width that is not a number");
    }
    // The frequency is kept even on a bypassed band, so it must be one the band can take.
    if (hasFrequency && !CheckRange(problem, band + " freq", frequency, ParamRange::kMinFrequency,
                                    ParamRange::kMaxFrequency, " Hz")) {
        return false;
    }
    std::optional<float> q;
    if (hasWidth) {
        // A width of zero or less has no meaningful Q (it would come out infinite or
        // negative), so the band is refused rather than designed from it.
        if (!(width > 0.0f)) {
            return refuse("width " + Number(width) + " is not positive");
        }
        q = usingBandwidth ? BandwidthToQ(width) : std::optional<float>(width);
        if (!q) {
            return refuse("width " + Number(width) + " gives no usable Q");
        }
        if (!bypass && !CheckRange(problem, band + " width (as Q)", *q, ParamRange::kMinQ, ParamRange::kMaxQ, "")) {
            return false;
        }
    }
    if (!bypass) {
        if (*type == BandType::kPeaking && !(hasFrequency && hasGain && hasWidth)) {
            return refuse("of type PEQ needs freq, gain and width");
        }
        if ((*type == BandType::kHighShelf || *type == BandType::kLowShelf) && !(hasFrequency && hasGain)) {
            return refuse("of a shelf type needs freq and gain");
        }
        if (hasGain && !CheckRange(problem, band + " gain", gain, ParamRange::kMinEqGainDb,
                                   ParamRange::kMaxEqGainDb, " dB")) {
            return false;
        }
    }
    SpeakerEqBand& target = preset.bands[static_cast<std::size_t>(index - 1)];
    if (hasFrequency) {
        target.frequency = frequency;
    }
    if (bypass) {
        target.type = BandType::kFlat;
        target.gain = 0.0f;
        target.q = 1.0f;
    } else {
        target.type = *type;
        target.gain = gain;
        if (q) {
            target.q = *q;
        }
    }
    return true;
}

Parse ParsePeq(XmlPullReader& reader, SpeakerEqPreset& preset, std::string& problem)
{
    bool ok = true;
    bool flag = false;
    bool present = false;
    if (ReadBooleanAttribute(reader, "UsingBandwidth", flag, present)) {
        if (present) {
            preset.usingBandwidth = flag ? 1 : 0;
        }
    } else {
        Note(problem, "PEQ UsingBandwidth is neither True nor False");
        ok = false;
    }
    if (ReadBooleanAttribute(reader, "EQPolarity", flag, present)) {
        if (present) {
            preset.eqPolarity = flag ? 1 : 0;
        }
    } else {
        Note(problem, "PEQ EQPolarity is neither True nor False");
        ok = false;
    }
    float eqGain = preset.eqGain;
    if (!ReadNumberAttribute(reader, "EQGain", eqGain, present)) {
        Note(problem, "PEQ EQGain is not a number");
        ok = false;
    } else if (CheckRange(problem, "PEQ EQGain", eqGain, ParamRange::kMinEqGainDb, ParamRange::kMaxEqGainDb,
                          " dB")) {
        preset.eqGain = eqGain;
    } else {
        ok = false;
    }
    const Parse children = ForEachChild(reader, [&]() {
        if (reader.Name() != "Band") {
            return Skip(reader);
        }
        const bool bandOk = ParseBandAttributes(reader, preset.usingBandwidth != 0, preset, problem);
        return Worse(bandOk ? Parse::Ok : Parse::Bad, Skip(reader));
    });
    return Worse(ok ? Parse::Ok : Parse::Bad, children);
}

Parse ParseLimiter(XmlPullReader& reader, SpeakerEqPreset& preset, std::string& problem)
{
    preset.limiterFlag = 0;
    struct Field {
        const char* name;
        float* value;
        bool threshold;
    };
    const Field fields[] = {
        {"peakThreshold", &preset.limiter.peakThreshold, true}, {"peakAttack", &preset.limiter.peakAttack, false},
        {"peakRelease", &preset.limiter.peakRelease, false},    {"rmsThreshold", &preset.limiter.rmsThreshold, true},
        {"rmsAttack", &preset.limiter.rmsAttack, false},        {"rmsRelease", &preset.limiter.rmsRelease, false},
    };
    bool all = true;
    for (const Field& field : fields) {
        float value = 0.0f;
        bool present = false;
        const std::string what = std::string("Limiter ") + field.name;
        if (!ReadNumberAttribute(reader, field.name, value, present) || !present) {
            Note(problem, what + " is missing or not a number");
            all = false;
        } else if (field.threshold ? CheckRange(problem, what, value, ParamRange::kMinLimiterThreshold,
                                                ParamRange::kMaxLimiterThreshold, " V")
                                   : CheckRange(problem, what, value, ParamRange::kMinLimiterTimeMs,
                                                ParamRange::kMaxLimiterTimeMs, " ms")) {
            *field.value = value;
        } else {
            all = false;
        }
    }
    if (all) {
        preset.limiterFlag = 1;
    }
    return Worse(all ? Parse::Ok : Parse::Bad, Skip(reader));
}

enum class SpeakerOutcome { Applied, Ignored, Failed, ReaderFailed };

SpeakerOutcome ParseSpeaker(XmlPullReader& reader, const std::set<std::u16string>& listed,
                            std::vector<SpeakerEqPreset>& entries, std::string& error)
{
    SpeakerEqPreset definition;
    std::string problem;
    bool hasEqName = false;
    bool textFailed = false;
    bool childFailed = false;
    const Parse walk = ForEachChild(reader, [&]() {
        const std::string& name = reader.Name();
        if (name == "EQName" || name == "Description") {
            std::u16string text;
            const Parse read = ReadText(reader, text);
            if (read == Parse::Ok) {
                if (name == "EQName") {
                    definition.eqName = std::move(text);
                    hasEqName = true;
                } else {
                    definition.description = std::move(text);
                }
            } else if (read == Parse::Bad) {
                textFailed = true;
            }
            return read == Parse::ReaderFailed ? Parse::ReaderFailed : Parse::Ok;
        }
        Parse child = Parse::Ok;
        if (name == "Band-pass") {
            child = ParseBandPass(reader, definition, problem);
        } else if (name == "PEQ") {
            child = ParsePeq(reader, definition, problem);
        } else if (name == "Limiter") {
            child = ParseLimiter(reader, definition, problem);
        } else {
            // IIR values are not kept and Delay is not read; anything else is unknown.
            child = Skip(reader);
        }
        if (child == Parse::Bad) {
            childFailed = true;
            return Parse::Ok;
        }
        return child;
    });
    if (walk == Parse::ReaderFailed) {
        return SpeakerOutcome::ReaderFailed;
    }
    if (textFailed) {
        error = "a Speaker has an EQName or Description that is not plain text";
        return SpeakerOutcome::Failed;
    }
    if (!hasEqName || listed.count(definition.eqName) == 0) {
        return SpeakerOutcome::Ignored;
    }
    if (childFailed) {
        // Only for the message: characters beyond ASCII show as '?'.
        std::string shown;
        for (char16_t c : definition.eqName) {
            shown.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        error = "the definition of \"" + shown + "\" cannot be used: " +
                (problem.empty() ? std::string("a value is malformed") : problem);
        return SpeakerOutcome::Failed;
    }
    for (SpeakerEqPreset& entry : entries) {
        if (entry.eqName == definition.eqName) {
            entry.AssignDefinition(definition);
            break;
        }
    }
    return SpeakerOutcome::Applied;
}

bool ParseSpeakers(XmlPullReader& reader, std::vector<SpeakerEqPreset>& entries, std::string& error)
{
    std::set<std::u16string> listed;
    for (const SpeakerEqPreset& entry : entries) {
        listed.insert(entry.eqName);
    }
    bool failed = false;
    const Parse walk = ForEachChild(reader, [&]() {
        if (reader.Name() != "Speaker") {
            return Skip(reader);
        }
        switch (ParseSpeaker(reader, listed, entries, error)) {
        case SpeakerOutcome::ReaderFailed:
            return Parse::ReaderFailed;
        case SpeakerOutcome::Failed:
            failed = true;
            // Nothing after a failed definition can change the outcome.
            return Parse::ReaderFailed;
        default:
            return Parse::Ok;
        }
    });
    if (failed) {
        return false;
    }
    if (walk != Parse::Ok) {
        error = reader.Error().empty() ? "the definition file ended inside Speakers" : reader.Error();
        return false;
    }
    return true;
}

}  // namespace

std::optional<bool> ParseXmlBoolean(std::string_view text)
{
    if (text == "True") {
        return true;
    }
    if (text == "False") {
        return false;
    }
    return std::nullopt;
}

std::optional<float> ParseXmlNumber(std::string_view text)
{
    text = TrimXmlSpace(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    float value = 0.0f;
    const auto [end, status] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (status != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> ParseBandType(std::string_view text)
{
    if (text == "PEQ") {
        return BandType::kPeaking;
    }
    if (text == "HighShelf") {
        return BandType::kHighShelf;
    }
    if (text == "LowShelf") {
        return BandType::kLowShelf;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ParseCrossoverType(std::string_view text)
{
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open ||
        !TrimBlanks(text.substr(close + 1)).empty()) {
        return std::nullopt;
    }
    const std::optional<float> slope = ParseXmlNumber(TrimBlanks(text.substr(0, open)));
    const std::string_view family = TrimBlanks(text.substr(open + 1, close - open - 1));
    if (!slope) {
        return std::nullopt;
    }
    if (family == "BW") {
        if (*slope == 6.0f) {
            return CrossoverCode::kButterworth6;
        }
        if (*slope == 12.0f) {
            return CrossoverCode::kButterworth12;
        }
        if (*slope == 18.0f) {
            return CrossoverCode::kButterworth18;
        }
        if (*slope == 24.0f) {
            return CrossoverCode::kButterworth24;
        }
    } else if (family == "LR") {
        if (*slope == 12.0f) {
            return CrossoverCode::kLinkwitzRiley12;
        }
        if (*slope == 24.0f) {
            return CrossoverCode::kLinkwitzRiley24;
        }
    }
    return std::nullopt;
}

std::optional<float> BandwidthToQ(float octaves)
{
    if (!(octaves > 0.0f)) {
        return std::nullopt;
    }
    const double ratio = std::pow(2.0, static_cast<double>(octaves));
    const auto q = static_cast<float>(std::sqrt(ratio) / (ratio - 1.0));
    if (!std::isfinite(q) || !(q > 0.0f)) {
        return std::nullopt;
    }
    return q;
}

bool ApplySpeakerEqDefinitions(std::string_view xml, std::vector<SpeakerEqPreset>& entries, std::string& error)
{
    XmlPullReader reader(xml);
    for (;;) {
        switch (reader.Read()) {
        case XmlNode::Element:
            if (reader.Name() == "Speakers" && !ParseSpeakers(reader, entries, error)) {
                return false;
            }
            break;
        case XmlNode::End:
            return true;
        case XmlNode::Error:
            error = reader.Error();
            return false;
        default:
            break;
        }
    }
}

}  // namespace speaker_eq
