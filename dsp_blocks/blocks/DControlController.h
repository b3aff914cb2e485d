// Base of the group controllers: one controller serves every block of its type that
// carries the grouping flag, and keeps one open panel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/blocks/PanelSlot.h"

class DControlController : public CController {
public:
    // Destroys the open panel and forgets it; false when none is open.
    bool CloseDialog() override;
    void OnPanelDestroyed(IBlockPanel* panel) override;

protected:
    DControlController() = default;

    IBlockPanel* OpenPanel(IPanelHost& parent, PanelKind kind);
    IBlockPanel* OpenPanelWindow() const { return panel_.Get(); }

    // A channel from a paste indexes the group's entries only when it is below their count.
    static bool IsEntryIndex(std::int32_t channel, std::size_t count)
    {
        return channel >= 0 && static_cast<std::size_t>(channel) < count;
    }

private:
    PanelSlot panel_;
};
