#include "dsp_blocks/ui/CurveDrawing.h"

#include "dsp_blocks/ui/DrawerGdi.h"
#include "dsp_blocks/ui/DrawerGdiplus.h"

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

std::unique_ptr<DrawHelper> MakeCurveDrawer(const VGraphView& view, platform::Canvas& canvas)
{
    if (g_antiAliasedCurves) {
        return std::make_unique<DrawerGdiplus>(view, canvas);
    }
    return std::make_unique<DrawerGdi>(view, canvas);
}
