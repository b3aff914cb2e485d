// A block panel: a DControl that its controller opens and closes through IBlockPanel, made
// in the window of the view that hosts it (IPanelSite). It marks the design modified through
// the site and reports a controller that refuses a value with message 152. When its window
// goes with the hosting view, it tells the controller, so that the controller forgets it.
#pragma once

#include <cstddef>
#include <string>

#include "dsp_blocks/blocks/BlockPanel.h"
#include "dsp_blocks/ui/DControl.h"

class CController;
class IPanelSite;

class DBlockPanel : public DControl, public IBlockPanel {
    Q_OBJECT

public:
    DBlockPanel(const DialogTemplate& dialogTemplate, IPanelSite& site, CController& controller);
    ~DBlockPanel() override;

    // The block's name, into control 1031.
    void SetWindowText(const std::u16string& text) final;
    // Panels without rows read everything again.
    void RefreshRow(std::size_t index) override;
    void DestroyPanel() final;

    IPanelSite& Site() const { return site_; }

protected:
    // The document's modified mark.
    void MarkModified();
    // Message 152 when a controller call answered false; returns ok.
    static bool CheckControllerResult(bool ok);

private:
    IPanelSite& site_;
    CController& controller_;
};
