#include "dsp_blocks/ui/PanelFactory.h"

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/CStdMixerController.h"
#include "dsp_blocks/blocks/LDelayDialogController.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/blocks/LInputGainDialogController.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/LOutputGainDialogController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"
#include "dsp_blocks/ui/DCrossover.h"
#include "dsp_blocks/ui/DInputBlank.h"
#include "dsp_blocks/ui/DPeakLimiter.h"
#include "dsp_blocks/ui/LInputEQ.h"
#include "dsp_blocks/ui/DStdMixer.h"
#include "dsp_blocks/ui/LDelay.h"
#include "dsp_blocks/ui/LOutputGain.h"
#include "dsp_blocks/ui/LSpeakerEQ.h"
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
    case PanelKind::StdMixer:
        if (auto* mixer = dynamic_cast<CStdMixerController*>(&controller)) {
            return Finish(new DStdMixer(site, *mixer));
        }
        return nullptr;
    case PanelKind::Delay:
        if (auto* delay = dynamic_cast<LDelayDialogController*>(&controller)) {
            return Finish(new LDelay(site, *delay));
        }
        return nullptr;
    case PanelKind::OutputPolarity:
        if (auto* polarity = dynamic_cast<LOutputGainDialogController*>(&controller)) {
            return Finish(new LOutputGain(site, *polarity));
        }
        return nullptr;
    case PanelKind::SpeakerEQ:
        if (auto* speakerEq = dynamic_cast<LSpeakerEQDialogController*>(&controller)) {
            return Finish(new LSpeakerEQ(site, *speakerEq));
        }
        return nullptr;
    case PanelKind::InputBlank:
        if (auto* inputGain = dynamic_cast<LInputGainDialogController*>(&controller)) {
            return Finish(new DInputBlank(site, *inputGain));
        }
        return nullptr;
    case PanelKind::InputEQ:
        if (auto* inputEq = dynamic_cast<LInputEQController*>(&controller)) {
            return Finish(new LInputEQ(site, *inputEq, inputEq->GetChannel()));
        }
        return nullptr;
    default:
        return nullptr;
    }
}
