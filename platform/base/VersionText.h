// Parsing of firmware version texts as amplifiers report them ("V5.12", "v5_12", "Ver5..12").
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/base/FirmwareVersion.h"

// Leading letters are skipped; the rest must be exactly two runs of decimal digits separated
// by runs of '.' and '_'. Anything else, including a number above 32 bits, gives (0, 0).
FirmwareVersion ParseVersionPair(std::string_view text);
FirmwareVersion ParseVersionPair(std::u16string_view text);

// One run of decimal digits and nothing else, within 32 bits: true with `value` set. False,
// `value` untouched, for anything else, an empty text included.
bool ParseVersionNumber(std::string_view text, std::uint32_t& value);
bool ParseVersionNumber(std::u16string_view text, std::uint32_t& value);
