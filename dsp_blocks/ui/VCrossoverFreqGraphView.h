// The crossover panel's graph: the combined response of the crossover's sections.
#pragma once

#include <cstddef>

#include "dsp_blocks/filters/ResponseModel.h"
#include "dsp_blocks/ui/VFreqGraphView.h"

class VCrossoverFreqGraphView : public VFreqGraphView {
    Q_OBJECT

public:
    static constexpr platform::ColorRef kCurveColour = 0x806060;
    static constexpr int kCurveWidth = 2;

    explicit VCrossoverFreqGraphView(QWidget* parent);

    // The sections to show (no own frequencies); the curve is drawn again.
    void SetSections(const BiquadCoefficients* coefficients, std::size_t count);

    std::size_t Recompute() override;
    void DrawCurves(platform::Canvas& backBuffer) override;

    const ResponseModel& Model() const { return model_; }

private:
    ResponseModel model_;
};
