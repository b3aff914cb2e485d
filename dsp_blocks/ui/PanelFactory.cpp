#include "dsp_blocks/ui/PanelFactory.h"

#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/ui/PanelSite.h"

IBlockPanel* CreateBlockPanel(PanelKind kind, CController& controller, IPanelSite& site)
{
    static_cast<void>(controller);
    static_cast<void>(site);
    switch (kind) {
    default:
        return nullptr;
    }
}
