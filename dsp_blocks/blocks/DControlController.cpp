// Panel handling shared by the group controllers.
#include "dsp_blocks/blocks/DControlController.h"

bool DControlController::CloseDialog()
{
    return panel_.Close();
}

void DControlController::OnPanelDestroyed(IBlockPanel* panel)
{
    panel_.Forget(panel);
}

IBlockPanel* DControlController::OpenPanel(IPanelHost& parent, PanelKind kind)
{
    // Group panels carry their own caption; the blocks' names are not shown.
    return panel_.Open(parent, kind, *this, nullptr);
}
