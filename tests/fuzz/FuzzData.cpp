// The shipped data files for the fuzz targets.
#include "tests/fuzz/FuzzData.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "platform/base/TextLineReader.h"

namespace fuzz {

std::string ShippedFile(const char* name)
{
    const std::optional<std::string> bytes = platform::ReadFileBytes(std::filesystem::path(QUARRY_DATA_DIR) / name);
    if (!bytes) {
        std::fprintf(stderr, "fuzz target: %s is missing from %s\n", name, QUARRY_DATA_DIR);
        std::abort();
    }
    return *bytes;
}

void LoadShippedSpeakerEq()
{
    static const bool loaded = LoadSpeakerEqLibrary(QUARRY_DATA_DIR);
    if (!loaded) {
        std::fprintf(stderr, "fuzz target: the shipped speaker-EQ library does not load: %s\n",
                     SpeakerEqLibraryError().c_str());
        std::abort();
    }
}

}  // namespace fuzz
