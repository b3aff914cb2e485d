#include "dsp_blocks/ui/DInputBlank.h"

#include "dsp_blocks/blocks/LInputGainDialogController.h"
#include "resources/templates/InputBlankPanelTemplate.h"

DInputBlank::DInputBlank(IPanelSite& site, LInputGainDialogController& controller)
    : DBlockPanel(kInputBlankPanelTemplate, site, controller)
{
}

DInputBlank::~DInputBlank() = default;
