// The open panel of a controller: made through the panel host, ended with the controller.
#pragma once

#include <string>

#include "dsp_blocks/blocks/BlockPanel.h"

class PanelSlot {
public:
    PanelSlot() = default;
    PanelSlot(const PanelSlot&) = delete;
    PanelSlot& operator=(const PanelSlot&) = delete;
    ~PanelSlot();

    // Closes a panel that is still open, then has the host make a new one; on success
    // sets its title when one is given and remembers it. Returns the panel or null.
    IBlockPanel* Open(IPanelHost& host, PanelKind kind, CController& controller,
                      const std::u16string* title);

    // Destroys the open panel and forgets it; false when none is open.
    bool Close();

    // Forgets the panel without touching it (its window is already gone).
    void Forget(IBlockPanel* panel);

    IBlockPanel* Get() const { return panel_; }

private:
    IBlockPanel* panel_ = nullptr;
};
