// The program-wide list of speaker presets: read once at start-up from the list file and
// its definition file in the Data folder, then read-only. Lookups always find a preset:
// when the library cannot be read the list holds one flat preset named "Flat".
// The store belongs to the user-interface thread.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "dsp_blocks/speaker_eq/SpeakerEqPreset.h"

namespace speaker_eq {

// Reads the list file in dataFolder and the definition file it names into store, in list
// order (band sections not yet designed). True when both files were read, the list named
// at least one preset and every listed definition applied; on false store is left empty
// and error (may be null) tells why.
bool LoadSpeakerEQList(std::vector<SpeakerEqPreset>& store, const std::filesystem::path& dataFolder,
                       std::string* error = nullptr);

}  // namespace speaker_eq

// Fills the store from the Data folder beside the program; true when the library loaded.
// On failure the store holds only the flat preset "Flat".
bool LoadSpeakerEqLibrary();
// The same from another folder (tests, tools).
bool LoadSpeakerEqLibrary(const std::filesystem::path& dataFolder);

// Why the last load failed; empty after a successful one.
const std::string& SpeakerEqLibraryError();

// The preset whose name equals name exactly (first in list order); otherwise the first
// preset of the list. Before any load, a flat preset named "Flat".
const speaker_eq::SpeakerEqPreset& FindSpeakerEqPreset(std::u16string_view name);

// The name under which a stored preset name is shown and saved now: a renamed preset keeps
// its former name as its EQ name, so a name that no preset shows but some preset has as its
// EQ name gives that preset's name (first in list order). Any other name comes back as it is.
std::u16string ShownSpeakerEqPresetName(std::u16string_view name);

// Every preset in list order (the panel fills its lists from it).
const std::vector<speaker_eq::SpeakerEqPreset>& SpeakerEqPresets();
