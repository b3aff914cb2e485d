// Loading the speaker-EQ library into the program-wide store.
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"

#include <optional>

#include "platform/base/ProgramFolders.h"
#include "dsp_blocks/speaker_eq/SpeakerEqDefinitions.h"
#include "dsp_blocks/speaker_eq/SpeakerEqListFile.h"
#include "dsp_blocks/speaker_eq/TextConversion.h"
#include "dsp_blocks/speaker_eq/XmlPullReader.h"
#include "platform/base/TextLineReader.h"
#include "resources/strings/StringIds.h"
#include "resources/strings/StringTable.h"

namespace speaker_eq {

bool LoadSpeakerEQList(std::vector<SpeakerEqPreset>& store, const std::filesystem::path& dataFolder,
                       std::string* error)
{
    std::string reason;
    const auto fail = [&](std::string why) {
        if (error != nullptr) {
            *error = std::move(why);
        }
        store.clear();
        return false;
    };
    const std::filesystem::path listPath = dataFolder / std::filesystem::path(std::string(kSpeakerEqListFileName));
    const std::optional<std::string> listBytes = platform::ReadFileBytes(listPath, kMaxListFileBytes);
    if (!listBytes) {
        return fail(listPath.string() + ": cannot be read");
    }
    SpeakerEqList list;
    if (!ParseSpeakerEqList(DecodeTextFile(*listBytes), list, reason)) {
        return fail(listPath.string() + ": " + reason);
    }
    // A library without presets would leave lookups nothing to fall back on.
    if (list.entries.empty()) {
        return fail(listPath.string() + ": no preset is listed");
    }
    if (list.definitionFile.empty()) {
        return fail(listPath.string() + ": no definition file is named");
    }
    const std::filesystem::path definitionPath = dataFolder / std::filesystem::path(list.definitionFile);
    const std::optional<std::string> xml = platform::ReadFileBytes(definitionPath, kMaxXmlBytes);
    if (!xml) {
        return fail(definitionPath.string() + ": cannot be read or is larger than " +
                    std::to_string(kMaxXmlBytes) + " bytes");
    }
    if (!ApplySpeakerEqDefinitions(*xml, list.entries, reason)) {
        return fail(definitionPath.string() + ": " + reason);
    }
    store = std::move(list.entries);
    if (error != nullptr) {
        error->clear();
    }
    return true;
}

}  // namespace speaker_eq

namespace {

std::vector<speaker_eq::SpeakerEqPreset>& Store()
{
    static std::vector<speaker_eq::SpeakerEqPreset> store;
    return store;
}

std::string& LastError()
{
    static std::string error;
    return error;
}

speaker_eq::SpeakerEqPreset MakeFlatPreset()
{
    speaker_eq::SpeakerEqPreset flat;
    const std::string name = LoadStringId(StringId::kFlatPreset);
    flat.name = speaker_eq::Utf8ToUtf16(name).value_or(u"Flat");
    flat.eqName = flat.name;
    return flat;
}

}  // namespace

bool LoadSpeakerEqLibrary()
{
    return LoadSpeakerEqLibrary(GetDataFolder());
}

bool LoadSpeakerEqLibrary(const std::filesystem::path& dataFolder)
{
    std::vector<speaker_eq::SpeakerEqPreset> loaded;
    std::string error;
    if (speaker_eq::LoadSpeakerEQList(loaded, dataFolder, &error)) {
        for (speaker_eq::SpeakerEqPreset& preset : loaded) {
            preset.ComputeBandSections();
        }
        Store() = std::move(loaded);
        LastError().clear();
        return true;
    }
    Store().clear();
    Store().push_back(MakeFlatPreset());
    LastError() = std::move(error);
    return false;
}

const std::string& SpeakerEqLibraryError()
{
    return LastError();
}

const speaker_eq::SpeakerEqPreset& FindSpeakerEqPreset(std::u16string_view name)
{
    const std::vector<speaker_eq::SpeakerEqPreset>& store = Store();
    if (store.empty()) {
        static const speaker_eq::SpeakerEqPreset flat = MakeFlatPreset();
        return flat;
    }
    for (const speaker_eq::SpeakerEqPreset& preset : store) {
        if (preset.name == name) {
            return preset;
        }
    }
    return store.front();
}

std::u16string ShownSpeakerEqPresetName(std::u16string_view name)
{
    const std::vector<speaker_eq::SpeakerEqPreset>& store = Store();
    for (const speaker_eq::SpeakerEqPreset& preset : store) {
        if (preset.name == name) {
            return std::u16string(name);
        }
    }
    for (const speaker_eq::SpeakerEqPreset& preset : store) {
        if (preset.eqName == name) {
            return preset.name;
        }
    }
    return std::u16string(name);
}

const std::vector<speaker_eq::SpeakerEqPreset>& SpeakerEqPresets()
{
    return Store();
}
