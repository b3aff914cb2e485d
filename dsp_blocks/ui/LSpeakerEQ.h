// The panel of the speaker-EQ group: one row per speaker-EQ block, each choosing the
// speaker preset of its channel from the speaker-EQ library. The block diagram shows the
// preset names, so every choice redraws it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dsp_blocks/ui/DBlockPanel.h"

class LSpeakerEQDialogController;
class LSpeakerEQSelect;

class LSpeakerEQ final : public DBlockPanel {
    Q_OBJECT

public:
    static constexpr std::size_t kMaxRows = 4;

    LSpeakerEQ(IPanelSite& site, LSpeakerEQDialogController& controller);
    ~LSpeakerEQ() override;

    // Row index shows the controller's preset again (after a paste); a row that does not
    // exist is ignored.
    void RefreshRow(std::size_t index) override;
    void Refresh() override;
    void UpdateChannelMode() override {}

    // "__Ovt_NotifyChanged__" from a row: (row index, 0).
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;
    // A row chose another preset: the controller applies it to the channel.
    void OnRowChanged(std::size_t index);

    std::size_t RowCount() const { return rows_.size(); }
    // Null for an index without a row.
    LSpeakerEQSelect* Row(std::size_t index) const;

protected:
    bool OnInitDialog() override;

private:
    LSpeakerEQDialogController& controller_;
    std::vector<LSpeakerEQSelect*> rows_;  // child windows, one per block; null where one failed
};
