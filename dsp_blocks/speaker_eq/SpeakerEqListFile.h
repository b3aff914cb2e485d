// The list file "SpeakerEQ_list.dat": the presets in display order and the name of the
// definition file. Syntax, line by line (leading spaces and tabs skipped):
//   empty, or '#' first: ignored
//   "Name"                    a preset whose EQ name is its name
//   "Name" <- "EQ name"       a preset that takes the definition keyed by EQ name
//   $load = "file.xml"        the definition file, in the same folder (the last one wins)
// Any other line ends the reading with a failure.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "dsp_blocks/speaker_eq/SpeakerEqPreset.h"

namespace speaker_eq {

inline constexpr std::string_view kSpeakerEqListFileName = "SpeakerEQ_list.dat";
// The list is a few lines; these bound what a damaged or hostile file can make us hold.
inline constexpr std::size_t kMaxListFileBytes = 1024 * 1024;
inline constexpr std::size_t kMaxPresetCount = 1000;

struct SpeakerEqList {
    std::vector<SpeakerEqPreset> entries;  // defaults but for name and EQ name
    std::u16string definitionFile;         // empty when no load directive was given
};

// Parses the whole text of a list file. False, with a reason in error, for a line that is
// neither an entry nor a directive, a preset name that designs could not store (empty,
// not representable in Windows-1252, or longer than kMaxPresetNameBytes), a definition
// file named with a folder part, or more than kMaxPresetCount presets.
bool ParseSpeakerEqList(std::u16string_view text, SpeakerEqList& out, std::string& error);

}  // namespace speaker_eq
