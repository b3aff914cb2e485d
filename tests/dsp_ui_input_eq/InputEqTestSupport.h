// What the input-EQ suites share: a hosting view whose input-EQ settings live in the
// program's settings record, an input-EQ block with its real controller, a dialog that
// records the notices of rows and graph, and the message pump steps run by hand.
#pragma once

#include <cstdint>
#include <vector>

#include <QWidget>

#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/ui/PanelSite.h"
#include "platform/ui/core/Dialog.h"

class LInputEQ;

// Counts modified marks; a channel the settings record has no place for throws, failing the test.
class SettingsPanelSite final : public IPanelSite, public IPanelHost {
public:
    SettingsPanelSite() { host_.resize(1000, 400); }

    QWidget* PanelParent() override { return &host_; }
    void SetDesignModified() override { ++modifiedMarks; }
    std::uint32_t GetInputEqMode(std::size_t channel) override;
    void SetInputEqMode(std::size_t channel, std::uint32_t mode) override;
    bool GetInputEqWidthIsQ() override;
    void SetInputEqWidthIsQ(bool isQ) override;
    IBlockPanel* CreatePanel(PanelKind kind, CController& controller) override;

    QWidget& Host() { return host_; }
    int modifiedMarks = 0;

private:
    QWidget host_;
};

struct InputEqBlock {
    explicit InputEqBlock(std::int32_t channel = 2);
    // The panel, shown in site; null when it could not be made.
    LInputEQ* Open(SettingsPanelSite& site);
    // What the block's parameter blob holds now, read back by a second controller.
    LInputEQController::Params StoredParams() const;
    std::vector<std::uint8_t> ParamBytes() const;

    DiagramBlock block;
    LInputEQController controller;
};

// Records "__Ovt_NotifyChanged__" and "VeskQuarry_NotifyDragging" as they arrive, the latter
// with what its graph's GetDragInfo answered then.
class NoticeRecorder final : public platform::Dialog {
    Q_OBJECT

public:
    struct Notice {
        std::uintptr_t done = 0;
        std::int32_t draggedBand = -1;
    };
    struct Change {
        std::uintptr_t index = 0;
        std::intptr_t inProgress = 0;
        friend bool operator==(const Change&, const Change&) = default;
    };

    NoticeRecorder();
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;

    std::vector<Notice> notices;
    std::vector<Change> changes;
};

void DeliverMessages();
void RunDeferredDeletes();
