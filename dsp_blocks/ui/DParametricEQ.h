// The base of the parametric-EQ panels; it adds nothing to the block panel.
#pragma once

#include "dsp_blocks/ui/DBlockPanel.h"

class DParametricEQ : public DBlockPanel {
    Q_OBJECT

public:
    using DBlockPanel::DBlockPanel;
    ~DParametricEQ() override;
};
