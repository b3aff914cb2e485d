// The panel of an input-EQ block: nine band rows under the parametric response graph, in
// graphic mode (each band keeps its frequency, a slider sets its gain) or parametric mode
// (type, frequency, width and gain per band). "Q/BW" shows the widths as Q or as bandwidth;
// "Zero All" puts the default bands back. Rows and graph are kept in step both ways: a row's
// change is redesigned at once and drawn, a drag on the graph is shown in its row. The mode
// of each input channel and the width unit are also kept in the program's settings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "dsp_blocks/ui/DParametricEQ.h"

class LBiquadBPFDialogView;
class LInputEQController;
class VParametricFreqGraphView;

class LInputEQ final : public DParametricEQ {
    Q_OBJECT

public:
    static constexpr std::size_t kRowCount = 9;
    static constexpr std::int32_t kGraphicMode = 0;
    static constexpr std::int32_t kParametricMode = 1;
    static constexpr int kGraphInsetX = 10;
    static constexpr int kGraphInsetY = 6;
    static constexpr platform::ColorRef kButtonEdge = 0xF0F0F0;
    static constexpr platform::ColorRef kButtonCentre = 0xC0C0C0;
    static constexpr platform::ColorRef kButtonText = 0x000000;
    // The settings keep the mode of input channels 0 to 15; other channels keep none.
    static constexpr std::size_t kRememberedChannels = 16;

    LInputEQ(IPanelSite& site, LInputEQController& controller, std::int32_t channel);
    ~LInputEQ() override;

    // Mode, width unit and every band again from the controller.
    void Refresh() override;
    void UpdateChannelMode() override {}

    // Enter: the row that holds the focused edit commits it.
    void OnOK() override;
    void OnButtonClicked(std::int32_t id) override;
    // "__Ovt_NotifyChanged__" from a row (band index, 1 while in progress) and
    // "VeskQuarry_NotifyDragging" from the graph (0 dragging, 1 done).
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void OnDrawItem(std::int32_t id, QPainter& painter, const platform::DrawItemState& state) override;

    // A row changed: mark the design modified, give the controller the row's band (a
    // redesign only while the change is in progress) and draw the response again.
    void OnRowChanged(std::size_t index, bool inProgress);
    // The graph reported a drag step (done false) or the drag's end (done true).
    void OnGraphDrag(bool done);

    std::int32_t EqMode() const { return eqMode_; }
    bool WidthIsQ() const { return widthIsQ_; }
    std::int32_t Channel() const { return channel_; }
    LBiquadBPFDialogView* Row(std::size_t index) const { return index < kRowCount ? rows_[index] : nullptr; }
    VParametricFreqGraphView* Graph() const { return graph_; }
    // Where caption 1060 goes in each mode (panel client y).
    int GraphicCaptionTop() const { return graphicCaptionTop_; }
    int ParametricCaptionTop() const { return parametricCaptionTop_; }

protected:
    bool OnInitDialog() override;

private:
    void RemoveBypassAll();
    void PlaceCaptions();
    void ModeLayout();
    void ShowWidthUnit(bool isQ);
    void SetRadios();
    std::int32_t ModeOfRadios() const;
    void OnModeClicked();
    void OnWidthUnitClicked();
    void ZeroAll();
    void RefreshGraph();

    std::int32_t eqMode_;
    std::array<LBiquadBPFDialogView*, kRowCount> rows_{};  // child windows, deleted with the panel
    VParametricFreqGraphView* graph_ = nullptr;
    LInputEQController& controller_;
    std::int32_t channel_;
    bool widthIsQ_;
    int graphicCaptionTop_ = 0;
    int parametricCaptionTop_ = 0;
};
