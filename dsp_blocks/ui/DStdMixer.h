// The panel of a 4 x 4 matrix-mixer block: a grid of cross-point buttons (rows are inputs,
// columns outputs), each toggled on and off and given a gain with its pop-up slider, and
// editable labels for the inputs and outputs. With a two-channel amplifier only the 2 x 2
// part of the grid is shown and the panel shrinks around it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include <QPoint>

#include "dsp_blocks/blocks/CStdMixerController.h"
#include "dsp_blocks/ui/DBlockPanel.h"

class CrossPointButton;

class DStdMixer final : public DBlockPanel {
    Q_OBJECT

public:
    static constexpr std::size_t kSize = CStdMixerController::kSize;
    static constexpr std::size_t kMaxLabelLength = 8;
    static constexpr char kLabelTooLongText[] = "Label must be no more than %u characters.";
    static constexpr platform::ColorRef kInputColour = 0xA5E1A5;
    static constexpr platform::ColorRef kOutputColour = 0x8CC8FF;
    static constexpr platform::ColorRef kLabelTextColour = 0x000000;
    static constexpr platform::ColorRef kLabelBackColour = 0xFFFFFF;
    // The panel keeps this much room right of and below the grid it uses.
    static constexpr int kExtentMarginX = 2;
    static constexpr int kExtentMarginY = 4;

    // One cross-point button of the grid.
    struct Cell {
        std::int32_t id;
        std::size_t row;     // input
        std::size_t column;  // output
    };

    DStdMixer(IPanelSite& site, CStdMixerController& controller);
    ~DStdMixer() override;

    // The controller's active channel count: cross points and labels below it are offered.
    virtual std::uint32_t ActiveChannelCount() const { return channels_; }

    // Labels and cross points again from the controller.
    void Refresh() override;
    void UpdateChannelMode() override {}

    // A click from a cross-point button (its toggle, or the end of a slider gesture).
    void OnCommand(std::int32_t id) override;
    void OnEditChanged(std::int32_t id) override;

    // The buttons in use: the 2 x 2 part with two channels, else all sixteen.
    std::span<const Cell> Table() const;
    // Null for a cross point without a button in use.
    CrossPointButton* Button(std::size_t row, std::size_t column) const;
    const CrossPoint& ShownCrossPoint(std::size_t row, std::size_t column) const;
    const std::u16string& ShownLabel(bool isOutput, std::size_t index) const;
    // Right and bottom edge (client pixels) of the part of the panel in use.
    QPoint GridExtent() const { return extent_; }
    bool IsInitialised() const { return initialised_ != 0; }

protected:
    bool OnInitDialog() override;

private:
    void FitToExtent();
    void ColourStatics();
    void ReadController();
    void FillControls();
    void OnCrossPointClicked(const Cell& cell);
    void OnLabelChanged(bool isOutput, std::size_t index, std::int32_t editId);

    std::uint32_t initialised_ = 0;
    std::array<std::u16string, kSize> inputLabels_;
    std::array<std::u16string, kSize> outputLabels_;
    std::uint32_t channels_;
    CStdMixerController& controller_;
    std::array<CrossPoint, kSize * kSize> crossPoints_{};
    QPoint extent_;
};
