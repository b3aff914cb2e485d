// Parsing of firmware version texts as amplifiers report them ("V5.12", "v5_12", "Ver5..12").
#pragma once

#include <string_view>

#include "application/text/FirmwareVersion.h"

// Leading letters are skipped; the rest must be exactly two runs of decimal digits separated
// by runs of '.' and '_'. Anything else, including a number above 32 bits, gives (0, 0).
FirmwareVersion ParseVersionPair(std::string_view text);
FirmwareVersion ParseVersionPair(std::u16string_view text);
