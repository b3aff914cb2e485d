// The editor's single top-level window: menu, tool bar and connection bar sharing the top
// strip, the status bar with the write-progress label, the main view between them, and the
// lock notice. It is the target of the registered messages of the device manager, the
// amplifier's worker and the start-up, starts device watching once it exists, keeps its
// placement in the settings record and carries Help Topics, About and Mute Outputs.
#pragma once

#include <cstdint>
#include <string>

#include <QMainWindow>
#include <QPointer>

#include "application/ui/BarStrip.h"
#include "platform/commands/CommandMap.h"
#include "platform/messages/Messages.h"
#include "platform/ui/core/MessageWindow.h"

class CCorvantEditorApp;
class CCorvantEditorDoc;
class CCorvantEditorView;
class CColorToolBar;
class CConnectionStatusBar;
class CControlView;
class CEnvironmentView;
class CProgressBar;
class CWriteProgressLabel;
class DlgLockApp;
class QMenu;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Creates the window (not shown) in the order of the frame's creation: bars, menu,
    // saved placement, label, the main view, and the posted start of device watching.
    CMainFrame(CCorvantEditorApp& app, CCorvantEditorDoc& document);
    ~CMainFrame() override;

    // False when a bar could not be made; the frame is then unusable.
    bool IsCreated() const { return m_created; }

    // This frame as a message window: registered messages and posted commands reach it here.
    platform::WindowId WindowId() const { return m_messages.Id(); }
    platform::MessageWindow& Messages() { return m_messages; }

    CCorvantEditorApp& App() const { return m_app; }
    CCorvantEditorDoc& GetDocument() const { return m_document; }
    CCorvantEditorView* GetMainView() const { return m_view; }
    // The main view's control view (after the first initial update), or null.
    CControlView* GetControlView() const;
    CColorToolBar* ToolBar() const { return m_toolBar; }
    CConnectionStatusBar* ConnectionBar() const { return m_connectionBar; }
    CProgressBar* StatusBar() const { return m_statusBar; }
    CWriteProgressLabel* WriteProgressLabel() const { return m_writeLabel; }
    DlgLockApp* LockNotice() const;

    // Parameter writing in progress: the write-progress total is not 0.
    bool IsWritingParameters() const { return m_writeTotal != 0; }
    std::uint32_t WriteDone() const { return m_writeDone; }
    std::uint32_t WriteTotal() const { return m_writeTotal; }
    // The handler of "VeskQuarry_NotifyWritingParam" (done, total). True when the pair was
    // new (the label was placed or hidden), false for a repeated pair.
    bool OnNotifyWritingParam(std::uint32_t done, std::uint32_t total);

    // stringId 0 hides the notice (and stops its delay); otherwise shows string stringId in
    // it, centred, after delayMs (at once, without activation, for 0).
    void ShowLockDialog(std::uint32_t stringId, std::uint32_t delayMs);
    // 0 red ball, anything else green.
    void SetConnectionIcon(std::uint8_t state);
    // The connection bar's text (control 1109); the document's update handler sets it too.
    void SetConnectionText(const std::string& text);
    std::string ConnectionText() const;

    // The main view's room; UpdateMinTrackSize turns it into the frame's minimum size.
    void SetRequiredClientSize(int width, int height);
    void UpdateMinTrackSize();
    QSize MinTrackSize() const { return QSize(m_minTrackWidth, m_minTrackHeight); }

    // Mute Outputs: toggles the one amplifier's software mute.
    void ToggleOutputMute();

    // The view commands go to first; a view that goes must be forgotten.
    void SetActiveView(CEnvironmentView* view);
    void ForgetActiveView(CEnvironmentView* view);
    CEnvironmentView* ActiveView() const { return m_activeView; }

    // Caption: the program's title, " - ", the document's title.
    void UpdateFrameTitle();
    // The frame's bars and view laid out over its client area (the central widget).
    void RecalcLayout();
    // Brings the window to the front (restored when minimised).
    void RaiseToFront();

    // The menu bar's popups as they stand (the "Debug" popup is gone after creation).
    QMenu* FilePopup() const { return m_filePopup; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The strip of the tool and connection bars; with the status bar, all the bars take of
    // the client area's height.
    int StripHeight() const;
    int BarsHeight() const;
    bool CreateBars();
    void CreateMenus();
    void ApplySavedPlacement();
    void StorePlacement();
    void PlaceWriteLabel();
    void RebuildRecentFiles(QMenu& menu);
    std::intptr_t OnCopyData(std::uintptr_t dataWord, std::intptr_t copyData);
    void OnKickStartDeviceWatcher();
    void OnAbout();
    void OnHelpTopics();
    void InstallCommands();

    CCorvantEditorApp& m_app;
    CCorvantEditorDoc& m_document;
    platform::MessageWindow m_messages;
    platform::CommandMap m_commands;
    BarStrip m_barStrip;
    QWidget* m_client = nullptr;  // the frame's client area: bars and view
    CColorToolBar* m_toolBar = nullptr;
    CConnectionStatusBar* m_connectionBar = nullptr;
    CProgressBar* m_statusBar = nullptr;
    CWriteProgressLabel* m_writeLabel = nullptr;
    CCorvantEditorView* m_view = nullptr;
    QMenu* m_filePopup = nullptr;
    QAction* m_recentAnchor = nullptr;  // the separator after the recent files
    QPointer<DlgLockApp> m_lockNotice;
    CEnvironmentView* m_activeView = nullptr;
    int m_menuHook = 0;
    bool m_created = false;
    bool m_placementStored = false;

    std::int32_t m_requiredWidth = 0;
    std::int32_t m_requiredHeight = 0;
    std::int32_t m_minTrackWidth = 0;
    std::int32_t m_minTrackHeight = 0;
    // Written only by the write-progress handler (UI thread).
    std::uint32_t m_writeDone = 0;
    std::uint32_t m_writeTotal = 0;
};
