// The panel of the input-gain group, whose blocks have nothing to edit: it only says so.
#pragma once

#include "dsp_blocks/ui/DBlockPanel.h"

class LInputGainDialogController;

class DInputBlank final : public DBlockPanel {
    Q_OBJECT

public:
    DInputBlank(IPanelSite& site, LInputGainDialogController& controller);
    ~DInputBlank() override;

    void Refresh() override {}
    void UpdateChannelMode() override {}
};
