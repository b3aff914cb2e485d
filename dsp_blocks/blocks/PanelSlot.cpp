// Opening, closing and forgetting a controller's panel.
#include "dsp_blocks/blocks/PanelSlot.h"

PanelSlot::~PanelSlot()
{
    Close();
}

IBlockPanel* PanelSlot::Open(IPanelHost& host, PanelKind kind, CController& controller,
                             const std::u16string* title)
{
    // A second open would otherwise orphan the first panel.
    Close();
    IBlockPanel* panel = host.CreatePanel(kind, controller);
    if (panel == nullptr) {
        return nullptr;
    }
    if (title != nullptr) {
        panel->SetWindowText(*title);
    }
    panel_ = panel;
    return panel;
}

bool PanelSlot::Close()
{
    if (panel_ == nullptr) {
        return false;
    }
    IBlockPanel* panel = panel_;
    panel_ = nullptr;
    panel->DestroyPanel();
    return true;
}

void PanelSlot::Forget(IBlockPanel* panel)
{
    if (panel != nullptr && panel == panel_) {
        panel_ = nullptr;
    }
}
