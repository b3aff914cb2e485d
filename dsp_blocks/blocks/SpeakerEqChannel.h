// What the speaker-EQ group controller keeps per speaker-EQ block: the block, the
// controllers of its channel that a speaker preset also sets, and the preset's name.
#pragma once

#include <string>

class DiagramBlock;
class CCrossoverController;
class LLimiterController;

struct SpeakerEqChannel {
    DiagramBlock* block = nullptr;                 // not owned
    CCrossoverController* crossover = nullptr;     // of the block's channel, or null; not owned
    LLimiterController* limiter = nullptr;         // of the block's channel, or null; not owned
    std::u16string presetName;
};
