// What the input-EQ suites share: a hosting view whose input-EQ settings live in the
// program's settings record, an input-EQ block with its real controller, a dialog that
// records the graph's drag notices, and the decoding of a block's parameter blob.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QWidget>

#include "dsp_blocks/blocks/BlockPanel.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LInputEQController.h"
#include "dsp_blocks/ui/PanelSite.h"
#include "platform/ui/core/Dialog.h"

class LInputEQ;

// Marks are counted; the input-EQ settings are read and written in GetAppSettings(), and a
// channel the record has no place for fails the test (std::out_of_range).
class SettingsPanelSite final : public IPanelSite, public IPanelHost {
public:
    SettingsPanelSite();
    ~SettingsPanelSite();

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

// An input-EQ block of channel `channel` with its loaded controller.
struct InputEqBlock {
    explicit InputEqBlock(std::int32_t channel = 2);

    // Opens the panel in site (shown); null when it could not be made.
    LInputEQ* Open(SettingsPanelSite& site);
    // The bands, mode and width unit the block's parameter blob holds now.
    LInputEQController::Params StoredParams() const;
    std::vector<std::uint8_t> ParamBytes() const;

    DiagramBlock block;
    LInputEQController controller;
};

// A bare child dialog that records, as they arrive, "VeskQuarry_NotifyDragging" with what the
// sending view's GetDragInfo answered at that moment, and "__Ovt_NotifyChanged__".
class NoticeRecorder final : public platform::Dialog {
    Q_OBJECT

public:
    struct Notice {
        std::uintptr_t done = 0;
        std::int32_t draggedBand = -1;
        float q = 0.0f;
    };

    NoticeRecorder();
    std::intptr_t OnMessage(platform::MessageId message, std::uintptr_t wParam, std::intptr_t lParam) override;

    struct Change {
        std::uintptr_t index = 0;
        std::intptr_t inProgress = 0;
        friend bool operator==(const Change&, const Change&) = default;
    };

    std::vector<Notice> notices;
    std::vector<Change> changes;
};

// Hands out posted messages, then runs deferred deletes.
void DeliverMessages();
void RunDeferredDeletes();
