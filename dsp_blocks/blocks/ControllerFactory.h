// Makes the controllers of a freshly loaded block diagram: one per ungrouped block of the
// kinds that have one, one per group of grouped blocks, the speaker-EQ group last so that
// it can reach the crossover and limiter controllers of each of its channels.
#pragma once

#include <memory>
#include <vector>

#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/blocks/SpeakerEqChannel.h"

class DiagramBlock;

// Makers of the controllers that live outside this library (matrix mixer, limiter,
// speaker EQ). A kind without a maker gets no controller.
struct ControllerMakers {
    // The mixer controller of one block.
    std::unique_ptr<CController> (*makeStdMixer)(DiagramBlock& block) = nullptr;
    // The limiter controller of one block; limiter receives the same object as the
    // limiter type, for the speaker-EQ records of the block's channel.
    std::unique_ptr<CController> (*makeLimiter)(DiagramBlock& block, LLimiterController*& limiter) = nullptr;
    // The speaker-EQ group controller over its records, one per block in group order.
    std::unique_ptr<CController> (*makeSpeakerEq)(std::vector<SpeakerEqChannel> channels) = nullptr;
};

// The makers used by the two-argument CreateControllers; filled in at start-up by the
// code that owns those controllers.
ControllerMakers& RegisteredControllerMakers();

// blocks: the document's blocks in order. On success out is replaced by the new
// controllers and every block that has one points to it; the result is then true when
// every controller's Load succeeded. A diagram with a grouped block of a type that takes
// no group (3, 6, 9, 10, or outside 1 to 12) fails: whatever was made is deleted, every
// block's controller pointer is restored and out is left as it was.
bool CreateControllers(const std::vector<DiagramBlock*>& blocks, std::vector<std::unique_ptr<CController>>& out);
bool CreateControllers(const std::vector<DiagramBlock*>& blocks, std::vector<std::unique_ptr<CController>>& out,
                       const ControllerMakers& makers);
