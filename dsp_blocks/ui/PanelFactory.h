// Makes the panel of a block for its controller, in the window of the hosting view. The
// control view's IPanelHost::CreatePanel calls it.
#pragma once

#include "dsp_blocks/blocks/BlockPanel.h"

class CController;
class IPanelSite;

// The new panel (shown, a child of site.PanelParent()), or null when the kind has no panel
// here, the controller is not of the kind's class, or the panel could not be made.
IBlockPanel* CreateBlockPanel(PanelKind kind, CController& controller, IPanelSite& site);
