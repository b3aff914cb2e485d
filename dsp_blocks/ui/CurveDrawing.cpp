#include "dsp_blocks/ui/CurveDrawing.h"

namespace {

// Read and written on the UI thread only.
bool g_antiAliasedCurves = true;

}  // namespace

void SetAntiAliasedCurves(bool on)
{
    g_antiAliasedCurves = on;
}

bool AntiAliasedCurves()
{
    return g_antiAliasedCurves;
}
