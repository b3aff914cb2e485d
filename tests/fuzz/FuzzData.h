// What the fuzz targets share: the shipped data files they start from.
#pragma once

#include <string>

namespace fuzz {

// The whole of a file in the shipped Data folder (QUARRY_DATA_DIR); aborts when it is missing,
// since a target without its data would fuzz nothing of interest.
std::string ShippedFile(const char* name);

// Loads the shipped speaker-EQ library into the program's store, once.
void LoadShippedSpeakerEq();

}  // namespace fuzz
