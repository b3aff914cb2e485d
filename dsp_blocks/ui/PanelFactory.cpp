#include "dsp_blocks/ui/PanelFactory.h"

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/ui/DCrossover.h"
#include "dsp_blocks/ui/DPeakLimiter.h"
#include "dsp_blocks/ui/PanelSite.h"

namespace {

// Creates the panel's window; the panel is shown, or deleted when creation failed.
IBlockPanel* Finish(DBlockPanel* panel)
{
    if (!panel->Create()) {
        delete panel;
        return nullptr;
    }
    panel->show();
    return panel;
}

}  // namespace

IBlockPanel* CreateBlockPanel(PanelKind kind, CController& controller, IPanelSite& site)
{
    switch (kind) {
    case PanelKind::Crossover:
        if (auto* crossover = dynamic_cast<CCrossoverController*>(&controller)) {
            return Finish(new DCrossover(site, *crossover));
        }
        return nullptr;
    case PanelKind::Limiter:
        if (auto* limiter = dynamic_cast<LLimiterController*>(&controller)) {
            return Finish(new DPeakLimiter(site, *limiter));
        }
        return nullptr;
    default:
        return nullptr;
    }
}
