// The process-wide choice of curve drawer: anti-aliased lines that keep their fractions (the
// default) or whole-pixel lines (start-up's -na flag). Graph views ask MakeCurveDrawer for
// a drawer of the current kind for each drawing pass.
#pragma once

#include <memory>

#include "dsp_blocks/filters/DrawHelper.h"

class VGraphView;

namespace platform {
class Canvas;
}

// UI thread only.
void SetAntiAliasedCurves(bool on);
bool AntiAliasedCurves();

// A DrawerGdiplus when anti-aliased curves are on, else a DrawerGdi, drawing on canvas
// through view's value map; for one drawing pass.
std::unique_ptr<DrawHelper> MakeCurveDrawer(const VGraphView& view, platform::Canvas& canvas);
