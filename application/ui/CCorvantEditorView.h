// The document's main view. It shows nothing itself: at its first initial update it reads
// the view-layout file and makes one child view per line, lays them out in rows, stretches
// them over its client area and tells the frame how large it must at least be.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include <QWidget>

#include "application/document/DocumentServices.h"
#include "application/ui/RowLayout.h"
#include "platform/commands/CommandMap.h"

class CEnvironmentView;
class CControlView;
class CMainFrame;
struct ViewEnvironment;

// The border each child view's window has (a dialog frame), drawn by the main view around it.
inline constexpr int kChildViewFrame = 3;

class CCorvantEditorView : public QWidget, public IDocumentObserver {
    Q_OBJECT

public:
    CCorvantEditorView(CMainFrame& frame, CCorvantEditorDoc& document, std::filesystem::path dataFolder,
                       QWidget* parent);
    ~CCorvantEditorView() override;

    CCorvantEditorDoc* GetDocument() const { return m_document; }
    CMainFrame* GetMainFrame() const { return &m_frame; }

    // Loads the children on the first call (message 16397 and the end of the program when the
    // layout file cannot be read, then false), lays them out, hands the frame its required
    // size, then gives every child its initial update.
    bool OnInitialUpdate();
    bool IsLoaded() const { return m_loaded != 0; }

    // The first child of kind 2, or null.
    CControlView* FindControlView() const;
    const std::vector<CEnvironmentView*>& ChildViews() const { return m_children; }
    // The children's layout for a client size; places their windows (a child whose row is
    // never reached is hidden) and returns the size the layout needs.
    QSize LayOutChildren(int clientWidth, int clientHeight);
    QSize RequiredSize() const { return QSize(m_requiredWidth, m_requiredHeight); }

    // Handlers of the main view while it is the active view (none of its own).
    platform::CommandMap& Commands() { return m_commands; }

    void OnUpdate(CCorvantEditorDoc& document, UpdateHint hint, CobaltDeviceManager::ICobaltAmplifier* amplifier) override;

    // The exit code the program ends with when the layout file is missing.
    static constexpr int kBrokenInstallationExitCode = 2;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool LoadChildViews();
    void DeleteChildViews();
    std::vector<RowLayoutItem> LayoutItems() const;

    CMainFrame& m_frame;
    CCorvantEditorDoc* m_document;
    std::filesystem::path m_dataFolder;
    std::uint8_t m_loaded = 0;
    std::vector<CEnvironmentView*> m_children;  // file order; the windows belong to this widget
    std::int32_t m_requiredWidth = 0;
    std::int32_t m_requiredHeight = 0;
    platform::CommandMap m_commands;
};

// The child view for a layout record as a child of `host`, or null for a kind that makes no
// view (the record is then dropped).
CEnvironmentView* CreateViewForEnvironment(std::unique_ptr<ViewEnvironment> environment, CCorvantEditorView& host);
