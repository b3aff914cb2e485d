// What the document knows of its meter list: how many input meters (input-gain blocks) and
// output meters (output-gain blocks) the design has. The meter widgets are built from it.
#pragma once

#include <cstdint>

struct MeterListCounts {
    std::uint32_t inputCount = 0;   // blocks of type 1
    std::uint32_t outputCount = 0;  // blocks of type 8
};
