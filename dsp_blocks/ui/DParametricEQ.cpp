#include "dsp_blocks/ui/DParametricEQ.h"

DParametricEQ::~DParametricEQ() = default;
