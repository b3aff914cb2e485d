// Doubles for the block tests: an amplifier that records what the blocks queue, and a
// panel host whose panels record what their controllers ask of them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dsp_blocks/blocks/BlockPanel.h"
#include "tests/support/RecordingAmplifier.h"

// Everything one panel was asked, in order ("title:...", "refresh", "row:N", "mode", "destroy").
// A controller may outlive the test's host, so panels and their logs stay alive until
// the test program ends, as a real panel stays alive until its window goes.
class RecordingPanel final : public IBlockPanel {
public:
    explicit RecordingPanel(std::shared_ptr<std::vector<std::string>> log) : log_(std::move(log)) {}
    void SetWindowText(const std::u16string& text) override
    {
        log_->push_back("title:" + std::string(text.begin(), text.end()));
    }
    void Refresh() override { log_->push_back("refresh"); }
    void RefreshRow(std::size_t index) override { log_->push_back("row:" + std::to_string(index)); }
    void UpdateChannelMode() override { log_->push_back("mode"); }
    void DestroyPanel() override
    {
        log_->push_back("destroy");
        destroyed = true;
    }
    bool destroyed = false;

private:
    std::shared_ptr<std::vector<std::string>> log_;
};

class RecordingPanelHost final : public IPanelHost {
public:
    IBlockPanel* CreatePanel(PanelKind kind, CController& controller) override
    {
        kinds.push_back(kind);
        controllers.push_back(&controller);
        if (refuse) {
            return nullptr;
        }
        static std::vector<std::unique_ptr<RecordingPanel>> keepAlive;
        keepAlive.push_back(std::make_unique<RecordingPanel>(logOwner_));
        panels.push_back(keepAlive.back().get());
        return panels.back();
    }

    bool refuse = false;
    std::vector<PanelKind> kinds;
    std::vector<CController*> controllers;
    std::vector<RecordingPanel*> panels;

private:
    std::shared_ptr<std::vector<std::string>> logOwner_ = std::make_shared<std::vector<std::string>>();

public:
    std::vector<std::string>& log = *logOwner_;
};
