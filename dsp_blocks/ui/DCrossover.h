// The panel of a crossover block: the high-pass and low-pass filters, each in an embedded
// filter-section view, their combined response, and the impedance mode of the channel that
// feeds the block, which raises the lowest frequency to 50 Hz on high-impedance lines.
#pragma once

#include <cstdint>

#include "dsp_blocks/ui/DBlockPanel.h"

class CCrossoverController;
class VCrossoverFreqGraphView;
class VSectionDialogView;

class DCrossover final : public DBlockPanel {
    Q_OBJECT

public:
    static constexpr std::uint32_t kHighPass = 0;
    static constexpr std::uint32_t kLowPass = 1;
    static constexpr int kGraphInsetX = 10;
    static constexpr int kGraphInsetY = 6;
    static constexpr char kHighImpedanceText[] = "Hi-Z";
    static constexpr char kLowImpedanceText[] = "Low-Z";
    static constexpr char kNoImpedanceText[] = "---";

    DCrossover(IPanelSite& site, CCrossoverController& controller);
    ~DCrossover() override;

    // Both sections and the graph take the controller's filters again.
    void Refresh() override;
    void UpdateChannelMode() override;
    // The impedance text and the lowest frequency of the channel's mode; raises a filter
    // below it. Nothing for a block not fed by one of the channels 0 to 3.
    void UpdateImpedance();

    // Enter: the section view that holds the focused edit commits it.
    void OnOK() override;
    // "__Ovt_NotifyChanged__" from a section view: (section index, 1 while in progress).
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // A section changed: mark the design modified, give the controller the section's filter
    // (a redesign only while the change is in progress) and draw the response again.
    void OnSectionChanged(std::uint32_t section, bool inProgress);

    VSectionDialogView* HighPassView() const { return highPass_; }
    VSectionDialogView* LowPassView() const { return lowPass_; }
    VCrossoverFreqGraphView* Graph() const { return graph_; }

protected:
    bool OnInitDialog() override;

private:
    VSectionDialogView* MakeSection(std::uint32_t section, std::int32_t placeholderId, int& heightShrink);
    VSectionDialogView* Section(std::uint32_t section) const;
    void RefreshGraph();

    CCrossoverController& controller_;
    VSectionDialogView* highPass_ = nullptr;  // child windows, deleted with the panel
    VSectionDialogView* lowPass_ = nullptr;
    VCrossoverFreqGraphView* graph_ = nullptr;
};
