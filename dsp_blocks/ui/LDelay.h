// The panel of the delay group: one row per delay block (output channel) with its delay,
// the unit the delays are shown in, and a graph with one draggable track per channel on
// the same scale. The rows and the graph report changes with "__Ovt_NotifyChanged__":
// (0 released or 1 dragging/cancelled, row) from the graph, (2 final or 3 in progress, row)
// from a row; the panel hands them to the controller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dsp_blocks/ui/DBlockPanel.h"

class LDelayDialogController;
class LDelayGraphView;
class LDelayTime;

class LDelay final : public DBlockPanel {
    Q_OBJECT

public:
    static constexpr std::size_t kMaxRows = 4;
    // The split point lies this far right of and below the last used row's frame.
    static constexpr int kSplitMargin = 2;
    static constexpr std::uintptr_t kGraphReleased = 0;
    static constexpr std::uintptr_t kGraphDragging = 1;
    static constexpr std::uintptr_t kRowFinal = 2;
    static constexpr std::uintptr_t kRowTracking = 3;

    LDelay(IPanelSite& site, LDelayDialogController& controller);
    ~LDelay() override;

    // Every row and the unit again from the controller.
    void Refresh() override;
    // Row index again from the controller (after a paste into that channel), with the unit
    // the paste may have brought; a row that does not exist is ignored.
    void RefreshRow(std::size_t index) override;
    void UpdateChannelMode() override {}

    // Enter: the row that holds the focused edit commits it.
    void OnOK() override;
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void OnComboSelChange(std::int32_t id) override;
    // A notice from the graph or a row.
    void OnChanged(std::uintptr_t code, std::size_t index);

    std::size_t RowCount() const { return rows_.size(); }
    // Null for an index without a row.
    LDelayTime* Row(std::size_t index) const;
    LDelayGraphView* Graph() const { return graph_; }
    std::uint32_t UnitCode() const { return unit_; }

protected:
    bool OnInitDialog() override;

private:
    // Rows into their frames; then the panel closes up around the rows in use.
    void LayOutRows();
    void PlaceGraph();
    void RefreshGraph();
    // Takes the controller's unit when it differs from the one shown.
    void TakeControllerUnit();
    void ShowUnit();

    LDelayDialogController& controller_;
    std::vector<LDelayTime*> rows_;  // child windows, one per channel; null where one failed
    LDelayGraphView* graph_ = nullptr;
    std::uint32_t unit_;
    // Per row, the value the panel last put on the graph and the delay it stood for: a
    // graph value that comes back unchanged (a cancelled drag) means exactly that delay.
    struct ShownOnGraph {
        float graphValue = 0.0f;
        float delayMs = 0.0f;
    };
    std::vector<ShownOnGraph> shownOnGraph_;
};
