// Kept alone in this file so the optimiser of a caller cannot see through it.
#include "dsp_blocks/filters/FloatRounding.h"

double RoundToSingle(double value)
{
    volatile float rounded = static_cast<float>(value);
    return rounded;
}
