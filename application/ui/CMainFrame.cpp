// The main frame: creation, bars and layout, placement, close and the registered messages.
#include "application/ui/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusTipEvent>

#include "application/document/PresentAmplifiers.h"
#include "application/document/CCorvantEditorDoc.h"
#include "application/settings/AppSettings.h"
#include "application/ui/CAboutDlg.h"
#include "application/ui/CCorvantEditorApp.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CColorToolBar.h"
#include "application/ui/CConnectionStatusBar.h"
#include "application/ui/CEnvironmentView.h"
#include "application/ui/CProgressBar.h"
#include "application/ui/CWriteProgressLabel.h"
#include "application/ui/DlgLockApp.h"
#include "application/ui/FramePlacement.h"
#include "application/ui/EditorTexts.h"
#include "dsp_blocks/blocks/ModelUtilities.h"
#include "platform/base/Cp1252.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/CommandActions.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/MainWindow.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/core/UiMessageIds.h"
#include "platform/ui/drawing/PngResource.h"
#include "resources/commands/CommandIds.h"
#include "resources/commands/MainMenu.h"
#include "resources/images/ImageIds.h"
#include "resources/strings/StringFormat.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/ConnectionBarTemplate.h"

namespace {

constexpr std::uint32_t kCopyDataOpenFile = 1;

// Saved rectangles hold the window's outer position (frame included, as the window system
// places it) and the size of its client area, which round-trips on every window manager.
QRect ToQRect(const SettingsRect& rect)
{
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

SettingsRect ToSettingsRect(const QPoint& outerTopLeft, const QSize& size)
{
    return SettingsRect{outerTopLeft.x(), outerTopLeft.y(), outerTopLeft.x() + size.width(),
                        outerTopLeft.y() + size.height()};
}

void PlaceWindow(QWidget& window, const QRect& rect)
{
    window.move(rect.topLeft());
    window.resize(rect.size());
}

// The window's rectangle in the saved form; a maximised window gives its restored one.
SettingsRect SavedFormOf(const QWidget& window)
{
    if (window.isMaximized()) {
        const QPoint frameOffset = window.geometry().topLeft() - window.frameGeometry().topLeft();
        return ToSettingsRect(window.normalGeometry().topLeft() - frameOffset, window.normalGeometry().size());
    }
    return ToSettingsRect(window.frameGeometry().topLeft(), window.size());
}

// A saved rectangle on a screen that is no longer there would put the window out of reach.
QRect OnSomeScreen(const QRect& rect)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(rect)) {
            return rect;
        }
    }
    return QRect(QPoint(0, 0), rect.size());
}


}  // namespace

CMainFrame::CMainFrame(CCorvantEditorApp& app, CCorvantEditorDoc& document)
    : m_app(app),
      m_document(document),
      m_messages([](platform::MessageId, std::uintptr_t, std::intptr_t) -> std::intptr_t { return 0; })
{
    setWindowIcon(platform::ProgramIcon());
    PlaceWindow(*this, OnSomeScreen(ToQRect(InitialFrameRect(GetAppSettings()))));

    m_client = new QWidget(this);
    setCentralWidget(m_client);
    // The document template's view is made with the frame's client area.
    m_view = new CCorvantEditorView(*this, document, app.DataFolder(), m_client);
    m_created = CreateBars();
    CreateMenus();
    ApplySavedPlacement();
    m_connectionBar->update();

    m_writeLabel = new CWriteProgressLabel(m_client);
    m_writeLabel->setGeometry(0, 0, 1, 1);
    m_writeLabel->setFont(m_statusBar->font());
    platform::SetControlId(m_writeLabel, 0xFFFF);
    m_writeLabel->hide();

    m_client->installEventFilter(this);
    platform::SetMainWindow(this);
    InstallCommands();
    SetActiveView(nullptr);
    RecalcLayout();
    // Device watching starts from the event loop, once the frame exists.
    m_messages.Post(platform::MsgKickStartDeviceWatcher());
}

CMainFrame::~CMainFrame()
{
    if (!m_placementStored) {
        StorePlacement();
    }
    if (m_menuHook != 0) {
        platform::RemoveMenuShowHook(m_menuHook);
    }
    m_messages.Close();
    platform::Router().SetTarget(platform::CommandLevel::View, nullptr);
    platform::Router().SetTarget(platform::CommandLevel::Frame, nullptr);
    if (platform::MainWindow() == this) {
        platform::SetMainWindow(nullptr);
    }
    m_client->removeEventFilter(this);
    // The views leave the document's observers as they go.
    delete m_client;
    m_client = nullptr;
}

bool CMainFrame::CreateBars()
{
    m_toolBar = new CColorToolBar(m_client);
    const bool toolBar = m_toolBar->CreateBar(ToolBarValue::kButtonSize, ToolBarValue::kResourceId,
                                              ImageId::kToolbarNormal, ImageId::kToolbarDisabled,
                                              ImageId::kToolbarMuted, m_barStrip);
    m_connectionBar = new CConnectionStatusBar(m_client);
    const bool connectionBar = m_connectionBar->CreateBar(m_barStrip);
    m_statusBar = new CProgressBar(m_client);
    return toolBar && connectionBar;
}

void CMainFrame::CreateMenus()
{
    for (const MenuPopupEntry& popup : MainMenu()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(popup.text.data(), static_cast<qsizetype>(popup.text.size())));
        platform::WatchMenu(menu);
        for (const MenuItemEntry& item : popup.items) {
            QAction* added = platform::AddMenuItem(*menu, item.command, item.text);
            if (item.command == 0 && menu == m_filePopup && m_recentAnchor == nullptr) {
                m_recentAnchor = added;
            } else if (item.command == CommandId::kFileMruFirst) {
                m_filePopup = menu;
            }
        }
    }
    const QList<QAction*> popups = menuBar()->actions();
    if (popups.size() > kDebugMenuPosition) {
        menuBar()->removeAction(popups.at(kDebugMenuPosition));
    }
    m_menuHook = platform::AddMenuShowHook([this](QMenu& menu) {
        platform::RemoveMenuItemByCommand(menu, CommandId::kDownloadFromAmp);
        if (&menu == m_filePopup) {
            RebuildRecentFiles(menu);
        }
    });
}

void CMainFrame::RebuildRecentFiles(QMenu& menu)
{
    for (std::uint32_t id = CommandId::kFileMruFirst; id <= CommandId::kFileMruLast; ++id) {
        platform::RemoveMenuItemByCommand(menu, id);
    }
    const std::vector<std::filesystem::path>& files = m_app.RecentFiles().Files();
    if (files.empty()) {
        QAction* placeholder = platform::CommandAction(CommandId::kFileMruFirst);
        placeholder->setText(QStringLiteral("Recent File"));
        menu.insertAction(m_recentAnchor, placeholder);
        return;
    }
    for (std::size_t i = 0; i < files.size() && i < CommandId::kRecentFileCount; ++i) {
        QAction* action = platform::CommandAction(CommandId::kFileMruFirst + static_cast<std::uint32_t>(i));
        QString name = QString::fromStdString(files[i].string());
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        menu.insertAction(m_recentAnchor, action);
    }
}

void CMainFrame::InstallCommands()
{
    m_commands.On(CommandId::kAppAbout, [this] { OnAbout(); });
    m_commands.On(CommandId::kHelpTopics, [this] { OnHelpTopics(); });
    m_commands.OnUpdate(CommandId::kHelpTopics, [](platform::CommandUi& ui) { ui.Enable(true); });
    m_commands.On(CommandId::kMuteOutputs, [this] { ToggleOutputMute(); });
    m_commands.OnUpdate(CommandId::kMuteOutputs, [this](platform::CommandUi& ui) {
        const AmplifierRef amplifier = CountPresentAmplifiers(m_app.Amplifiers()).Single();
        const bool usable = amplifier && amplifier->GetModel() != static_cast<std::int32_t>(ModelType::Unknown);
        const bool muted = amplifier && amplifier->IsMuted();
        ui.Enable(usable);
        ui.SetCheck(muted);
        m_toolBar->SetMutedLook(muted);
    });
    platform::Router().SetTarget(platform::CommandLevel::Frame, &m_commands);

    m_messages.On(platform::kMsgCopyData,
                  [this](std::uintptr_t wParam, std::intptr_t lParam) { return OnCopyData(wParam, lParam); });
    m_messages.On(platform::MsgDeviceChanged(), [](std::uintptr_t, std::intptr_t) -> std::intptr_t {
        platform::PostCommand(CommandId::kGoOnline);
        return 0;
    });
    m_messages.On(platform::MsgKickStartDeviceWatcher(), [this](std::uintptr_t, std::intptr_t) -> std::intptr_t {
        OnKickStartDeviceWatcher();
        return 0;
    });
    m_messages.On(platform::MsgCorruptSpEqFile(), [](std::uintptr_t, std::intptr_t) -> std::intptr_t {
        platform::MessageBoxId(StringId::kSpeakerEqCorrupt, platform::MessageIcon::Information);
        return 0;
    });
    m_messages.On(platform::MsgNotifyWritingParam(), [this](std::uintptr_t wParam, std::intptr_t lParam) -> std::intptr_t {
        OnNotifyWritingParam(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        return 0;
    });
    m_messages.On(platform::MsgNotifySaveConfig(), [this](std::uintptr_t wParam, std::intptr_t lParam) -> std::intptr_t {
        if (wParam != CobaltDeviceManager::kSaveConfigEnds) {
            platform::SendCommand(CommandId::kLockApp);
            return 0;
        }
        platform::SendCommand(CommandId::kUnlockApp);
        // After unlocking, so that a store that failed is told over an unlocked editor.
        m_document.OnSaveConfigResult(lParam);
        return 0;
    });
}

void CMainFrame::ApplySavedPlacement()
{
    const WindowPlacement& placement = GetAppSettings().framePlacement;
    if (!IsPlacementUsable(placement)) {
        return;
    }
    PlaceWindow(*this, OnSomeScreen(ToQRect(placement.normalPosition)));
    if (placement.showCmd == FrameStateValue::kShowMaximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void CMainFrame::StorePlacement()
{
    m_placementStored = true;
    if (isMinimized()) {
        return;
    }
    GetAppSettings().framePlacement = MakeFramePlacement(SavedFormOf(*this), false, isMaximized());
}

DlgLockApp* CMainFrame::LockNotice() const
{
    return m_lockNotice.data();
}

CControlView* CMainFrame::GetControlView() const
{
    return m_view != nullptr ? m_view->FindControlView() : nullptr;
}

int CMainFrame::StripHeight() const
{
    return m_toolBar->sizeHint().height();
}

int CMainFrame::BarsHeight() const
{
    if (m_toolBar == nullptr || m_statusBar == nullptr) {
        return 0;
    }
    return StripHeight() + m_statusBar->BarHeight();
}

void CMainFrame::RecalcLayout()
{
    if (m_client == nullptr || m_toolBar == nullptr || m_connectionBar == nullptr || m_statusBar == nullptr) {
        return;
    }
    const int right = m_client->width();
    int top = 0;
    int bottom = m_client->height();
    // The tool bar stops where the connection bar begins; the connection bar takes no room.
    const int stripHeight = StripHeight();
    const int toolBarRight = std::max(m_barStrip.toolBarWidth, right - m_barStrip.connectionBarWidth);
    m_toolBar->setGeometry(0, top, toolBarRight, stripHeight);
    m_connectionBar->setGeometry(right - m_barStrip.connectionBarWidth, top, m_barStrip.connectionBarWidth,
                                 stripHeight);
    top += stripHeight;
    const int statusHeight = m_statusBar->BarHeight();
    m_statusBar->setGeometry(0, bottom - statusHeight, right, statusHeight);
    bottom -= statusHeight;
    m_view->setGeometry(0, top, right, std::max(0, bottom - top));
    if (m_writeLabel != nullptr && m_writeLabel->isVisible()) {
        PlaceWriteLabel();
    }
}

bool CMainFrame::event(QEvent* event)
{
    // Fly-by help: the prompt of the tool-bar button or menu item under the pointer goes to
    // the message pane, and the empty prompt sent when the pointer leaves it clears the pane.
    if (event->type() == QEvent::StatusTip) {
        if (m_statusBar != nullptr) {
            m_statusBar->SetPaneText(0, static_cast<QStatusTipEvent*>(event)->tip().toStdString());
        }
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize) {
        RecalcLayout();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::SetRequiredClientSize(int width, int height)
{
    m_requiredWidth = width;
    m_requiredHeight = height;
}

void CMainFrame::UpdateMinTrackSize()
{
    RecalcLayout();
    // The bars take the strip above the main view and the status bar below it, and no width.
    // Measured from their own heights: before the first show the client area is still too
    // small to hold them, so the view's present height says nothing.
    const int barsHeight = BarsHeight();
    const int menuHeight = menuBar()->isVisible() || !isVisible() ? menuBar()->sizeHint().height() : 0;
    const int width = m_requiredWidth;
    const int height = m_requiredHeight + barsHeight + menuHeight;
    if (width <= m_minTrackWidth && height <= m_minTrackHeight) {
        return;
    }
    m_minTrackWidth = width;
    m_minTrackHeight = height;
    setMinimumSize(width, height);
    if (this->width() < width || this->height() < height) {
        resize(width, height);
    }
}

bool CMainFrame::OnNotifyWritingParam(std::uint32_t done, std::uint32_t total)
{
    if (done == m_writeDone && total == m_writeTotal) {
        return false;
    }
    m_writeDone = done;
    m_writeTotal = total;
    if (total != 0) {
        PlaceWriteLabel();
    } else {
        m_writeLabel->hide();
    }
    return true;
}

void CMainFrame::PlaceWriteLabel()
{
    const platform::Rect pane = m_statusBar->GetItemRect(0);
    const QPoint origin = m_statusBar->mapTo(m_client, QPoint(pane.left, pane.top));
    m_writeLabel->setGeometry(origin.x(), origin.y(), pane.Width(), pane.Height());
    m_writeLabel->SetProgress(m_writeDone, m_writeTotal);
    m_writeLabel->raise();
    m_writeLabel->show();
}

void CMainFrame::ShowLockDialog(std::uint32_t stringId, std::uint32_t delayMs)
{
    if (stringId == 0) {
        if (m_lockNotice) {
            m_lockNotice->KillTimer(DlgLockApp::kDelayTimer);
            m_lockNotice->hide();
        }
        return;
    }
    if (!m_lockNotice) {
        m_lockNotice = new DlgLockApp(this);
        if (!m_lockNotice->Create()) {
            delete m_lockNotice.data();
            return;
        }
    }
    m_lockNotice->SetMessage(stringId);
    m_lockNotice->CentreOverOwner();
    if (delayMs != 0) {
        m_lockNotice->SetTimer(DlgLockApp::kDelayTimer, delayMs);
    } else {
        m_lockNotice->ShowWithoutActivating();
    }
}

void CMainFrame::SetConnectionIcon(std::uint8_t state)
{
    m_connectionBar->SetIconState(state);
}

void CMainFrame::SetConnectionText(const std::string& text)
{
    if (QWidget* item = m_connectionBar->Item(ConnectionBarIds::kText)) {
        platform::SetWindowText(item, text);
    }
}

std::string CMainFrame::ConnectionText() const
{
    return m_connectionBar->ItemText(ConnectionBarIds::kText);
}

void CMainFrame::ToggleOutputMute()
{
    const AmplifierRef amplifier = CountPresentAmplifiers(m_app.Amplifiers()).Single();
    if (!amplifier) {
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool muted = amplifier->IsMuted();
    const bool done = amplifier->SetMute(!muted);
    QGuiApplication::restoreOverrideCursor();
    if (!done) {
        platform::MessageBoxId(StringId::kMuteToggleFailed, platform::MessageIcon::Error);
    }
}

void CMainFrame::SetActiveView(CEnvironmentView* view)
{
    m_activeView = view;
    platform::CommandMap* commands = view != nullptr ? &view->Commands() : &m_view->Commands();
    platform::Router().SetTarget(platform::CommandLevel::View, commands);
}

void CMainFrame::ForgetActiveView(CEnvironmentView* view)
{
    if (m_activeView == view) {
        SetActiveView(nullptr);
    }
}

void CMainFrame::UpdateFrameTitle()
{
    std::string title = m_document.GetTitle();
    if (title.empty()) {
        title = std::string(kUntitledName);
    }
    const QString caption = QString::fromStdString(platform::ProgramCaption() + " - " + title);
    if (windowTitle() != caption) {
        setWindowTitle(caption);
    }
}

void CMainFrame::RaiseToFront()
{
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

std::intptr_t CMainFrame::OnCopyData(std::uintptr_t dataWord, std::intptr_t lParam)
{
    const auto* copyData = reinterpret_cast<const platform::CopyData*>(lParam);
    if (dataWord != kCopyDataOpenFile || copyData == nullptr || copyData->data == nullptr) {
        return 0;
    }
    // UTF-16 up to the first zero, never past the block's size.
    const auto* units = static_cast<const char16_t*>(copyData->data);
    std::u16string path;
    for (std::uint32_t i = 0; i < copyData->size / 2 && units[i] != u'\0'; ++i) {
        path.push_back(units[i]);
    }
    if (path.empty()) {
        return 0;
    }
    return m_app.OpenDocumentFile(std::filesystem::path(platform::Utf16ToUtf8(path))) ? 1 : 0;
}

void CMainFrame::OnKickStartDeviceWatcher()
{
    m_app.StartDeviceWatching(WindowId(), platform::MsgDeviceChanged());
}

void CMainFrame::OnAbout()
{
    std::string model;
    std::string firmware;
    if (const AmplifierRef amplifier = CountPresentAmplifiers(m_app.Amplifiers()).Single()) {
        model = platform::Utf16ToUtf8(GetModelName(static_cast<ModelType>(amplifier->GetModel())));
        firmware = platform::Utf16ToUtf8(amplifier->GetFirmwareVersion());
    }
    ShowAboutBox(model, firmware);
}

void CMainFrame::OnHelpTopics()
{
    const std::filesystem::path path = m_app.DataFolder() / kHelpFileName;
    if (!m_app.OpenHelpFile(path)) {
        platform::MessageBoxText(FormatString(kHelpViewerMissingText, path.string()), platform::MessageIcon::Error);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    {
        const AmplifierRef amplifier = CountPresentAmplifiers(m_app.Amplifiers()).Single();
        if (amplifier && amplifier->IsMuted()) {
            platform::MessageBoxText(std::string(kSoftwareMuteWarningText), platform::MessageIcon::Information);
        }
    }
    if (!isMinimized()) {
        AppSettings& settings = GetAppSettings();
        settings.frameStyle = FrameStyleWord(isVisible(), false, isMaximized());
        settings.frameRect = SavedFormOf(*this);
    }
    if (!m_app.SaveModified()) {
        event->ignore();
        return;
    }
    StorePlacement();
    event->accept();
}
