// Makes the controllers of a freshly loaded block diagram: one per ungrouped block of the
// kinds that have one, one per group of grouped blocks, the speaker-EQ group last so that
// it can reach the crossover and limiter controllers of each of its channels.
#pragma once

#include <memory>
#include <vector>

#include "dsp_blocks/blocks/CController.h"

class DiagramBlock;

// blocks: the document's blocks in order. On success out is replaced by the new
// controllers and every block that has one points to it; the result is then true when
// every controller's Load succeeded. A diagram with a grouped block of a type that takes
// no group (3, 6, 9, 10, or outside 1 to 12) fails: whatever was made is deleted, every
// block's controller pointer is restored and out is left as it was.
bool CreateControllers(const std::vector<DiagramBlock*>& blocks, std::vector<std::unique_ptr<CController>>& out);
