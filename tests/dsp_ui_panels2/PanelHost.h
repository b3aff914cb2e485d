// What the second panel suite shares: a hosting view that counts the design's modified
// marks and the block-view redraws and makes panels through the factory, and the
// event-loop steps that tests run by hand.
#pragma once

#include <cstdint>

#include <QWidget>

#include "dsp_blocks/blocks/BlockPanel.h"
#include "dsp_blocks/ui/PanelSite.h"

class PanelHost final : public IPanelSite, public IPanelHost {
public:
    PanelHost();
    ~PanelHost();

    QWidget* PanelParent() override { return &window_; }
    void SetDesignModified() override { ++modifiedMarks; }
    std::uint32_t GetInputEqMode(std::size_t) override { return 0; }
    void SetInputEqMode(std::size_t, std::uint32_t) override {}
    bool GetInputEqWidthIsQ() override { return true; }
    void SetInputEqWidthIsQ(bool) override {}
    void RedrawBlockViews() override { ++redraws; }

    IBlockPanel* CreatePanel(PanelKind kind, CController& controller) override;

    int modifiedMarks = 0;
    int redraws = 0;

private:
    QWidget window_;
};

// Hands out the messages posted so far (the panels' notices to each other).
void DeliverMessages();
// Deletes the windows that asked to be deleted once control is back in the event loop.
void RunDeferredDeletes();
