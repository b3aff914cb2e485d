// What the panel suites share: a hosting view that counts the design's modified marks and
// makes panels through the factory, and the event-loop steps that tests run by hand.
#pragma once

#include <array>
#include <cstdint>

#include <QWidget>

#include "dsp_blocks/blocks/BlockPanel.h"
#include "dsp_blocks/blocks/ChannelConfig.h"
#include "dsp_blocks/ui/PanelSite.h"

class TestPanelSite final : public IPanelSite, public IPanelHost {
public:
    TestPanelSite();
    ~TestPanelSite();

    QWidget* PanelParent() override { return &host_; }
    void SetDesignModified() override { ++modifiedMarks; }
    std::uint32_t GetInputEqMode(std::size_t channel) override { return inputEqModes.at(channel); }
    void SetInputEqMode(std::size_t channel, std::uint32_t mode) override { inputEqModes.at(channel) = mode; }
    bool GetInputEqWidthIsQ() override { return widthIsQ; }
    void SetInputEqWidthIsQ(bool isQ) override { widthIsQ = isQ; }

    IBlockPanel* CreatePanel(PanelKind kind, CController& controller) override;

    QWidget& Host() { return host_; }

    int modifiedMarks = 0;
    std::array<std::uint32_t, 4> inputEqModes{};
    bool widthIsQ = true;

private:
    QWidget host_;
};

// Deletes the windows that asked to be deleted once control is back in the event loop.
void RunDeferredDeletes();
// A status change of every channel to mode.
ChannelConfig ModeChange(std::uint32_t mode);
