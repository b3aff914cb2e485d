// The process-wide choice of curve drawer: anti-aliased lines that keep their fractions (the
// default) or whole-pixel lines (start-up's -na flag). Graph views ask MakeCurveDrawer for
// a drawer of the current kind for each drawing pass.
#pragma once

// UI thread only.
void SetAntiAliasedCurves(bool on);
bool AntiAliasedCurves();
