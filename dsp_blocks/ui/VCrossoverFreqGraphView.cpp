#include "dsp_blocks/ui/VCrossoverFreqGraphView.h"

#include "dsp_blocks/ui/CurveDrawing.h"

VCrossoverFreqGraphView::VCrossoverFreqGraphView(QWidget* parent) : VFreqGraphView(parent)
{
    model_.SetGrid(x0_, x1_, ResponseModel::kViewGridSize);
}

void VCrossoverFreqGraphView::SetSections(const BiquadCoefficients* coefficients, std::size_t count)
{
    model_.SetSections(coefficients, count, nullptr);
    InvalidateCurves();
}

std::size_t VCrossoverFreqGraphView::Recompute()
{
    return model_.Recompute();
}

void VCrossoverFreqGraphView::DrawCurves(platform::Canvas& backBuffer)
{
    const std::unique_ptr<DrawHelper> drawer = MakeCurveDrawer(*this, backBuffer);
    model_.DrawCurve(*drawer, model_.Combined(), kCurveColour, kCurveWidth);
}
