// The control view: shows the panel of the selected block, centred on the view's gradient.
// It is the panel host of the block controllers (they make their panel through it) and the
// site the panels ask for the document's modified mark and the input-EQ settings.
#pragma once

#include <cstdint>

#include "application/ui/CEnvironmentView.h"
#include "dsp_blocks/blocks/BlockPanel.h"
#include "dsp_blocks/ui/PanelSite.h"

class CController;

class CControlView : public CEnvironmentView, public IPanelHost, public IPanelSite {
    Q_OBJECT

public:
    static constexpr std::int32_t kControlId = 16403;

    CControlView(CCorvantEditorView& host, std::unique_ptr<ViewEnvironment> environment);

    std::int32_t GetViewKind() const override { return 2; }

    // Called by the block view after its selection changed: opens the panel of the first
    // selected block's controller, closes it when nothing is selected, keeps it when the
    // same controller is selected again.
    void OnSelectionChanged();

    CController* OpenController() const { return m_controller; }
    IBlockPanel* OpenPanel() const { return m_panel; }
    // The open panel's window (null when none is open or it is no window).
    QWidget* OpenPanelWindow() const;

    // IPanelHost: makes a block panel as a child of this view.
    IBlockPanel* CreatePanel(PanelKind kind, CController& controller) override;

    // IPanelSite: panels live in this view, mark the document modified and keep the
    // input-EQ display settings in the program's settings (channels from 16 on keep none).
    QWidget* PanelParent() override { return this; }
    void SetDesignModified() override;
    std::uint32_t GetInputEqMode(std::size_t channel) override;
    void SetInputEqMode(std::size_t channel, std::uint32_t mode) override;
    bool GetInputEqWidthIsQ() override;
    void SetInputEqWidthIsQ(bool isQ) override;
    void RedrawBlockViews() override;

    void OnUpdate(CCorvantEditorDoc& document, UpdateHint hint, CobaltDeviceManager::ICobaltAmplifier* amplifier) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ClosePanel();
    void CentrePanel();

    CController* m_controller = nullptr;
    IBlockPanel* m_panel = nullptr;
};
