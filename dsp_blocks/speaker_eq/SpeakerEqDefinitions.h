// The definition file named by the list: an XML document whose Speaker elements carry
// the crossover, equaliser and limiter values of each preset, keyed by EQName.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dsp_blocks/speaker_eq/SpeakerEqPreset.h"

namespace speaker_eq {

// Applies the definitions in xml to the entries whose EQ name they carry (the first such
// entry in list order). Speaker elements whose EQName no entry uses are ignored, whatever
// they hold. False, with a reason in error, for XML that is malformed, oversized or has a
// document type declaration or an entity, and for a listed Speaker that fails to parse.
bool ApplySpeakerEqDefinitions(std::string_view xml, std::vector<SpeakerEqPreset>& entries, std::string& error);

// Value syntax shared with the tests.
// "True" or "False" exactly.
std::optional<bool> ParseXmlBoolean(std::string_view text);
// A finite decimal number, blanks around it allowed, read independently of the locale.
std::optional<float> ParseXmlNumber(std::string_view text);
// "PEQ", "HighShelf" or "LowShelf": band types 1, 2, 3.
std::optional<std::uint32_t> ParseBandType(std::string_view text);
// "<n> (<family>)": BW with 6/12/18/24 gives 1-4, LR with 12/24 gives 12/13.
std::optional<std::uint32_t> ParseCrossoverType(std::string_view text);
// Q of a band N octaves wide: sqrt(2^N) / (2^N - 1); nothing unless N > 0 gives a finite,
// positive Q.
std::optional<float> BandwidthToQ(float octaves);

}  // namespace speaker_eq
