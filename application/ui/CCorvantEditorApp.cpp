// The application object: start-up, idle hook, file commands and shut-down.
#include "application/ui/CCorvantEditorApp.h"

#include <atomic>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

#include "application/document/AmplifierRef.h"
#include "application/document/CCorvantEditorDoc.h"
#include "application/settings/AppSettings.h"
#include "platform/base/ProgramFolders.h"
#include "platform/base/VirtualDevices.h"
#include "application/text/VersionHack.h"
#include "application/ui/CCorvantEditorView.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DeviceFlowCommands.h"
#include "application/ui/DocumentCommands.h"
#include "application/ui/DocumentPrompts.h"
#include "application/ui/EditorCommandLine.h"
#include "application/ui/EditorTexts.h"
#include "application/ui/SingleInstance.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "dsp_blocks/ui/CurveDrawing.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/IdlePass.h"
#include "platform/ui/core/MessageBox.h"
#include "platform/ui/core/ModalState.h"
#include "platform/ui/core/UiMessageIds.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringFormat.h"
#include "resources/strings/StringTable.h"

namespace {

CCorvantEditorApp* g_app = nullptr;
// Device flows that run now (UI thread).
std::atomic<int> g_deviceFlows{0};

constexpr const char* kOrganisation = "Vesk";
constexpr const char* kApplicationName = "Corvantine-Editor";

std::filesystem::path Comparable(const std::filesystem::path& path)
{
    std::error_code error;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path.lexically_normal() : resolved;
}

bool OpenWithDesktop(const std::filesystem::path& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path.string())));
}

std::optional<std::filesystem::path> AskWithFileDialog(bool save, const std::string& suggestedName)
{
    const QString filter = QString::fromStdString(DocTemplateString(DocTemplateField::FilterName)) + QStringLiteral(";;") +
                           QString::fromUtf8(kAllFilesFilter.data(), static_cast<qsizetype>(kAllFilesFilter.size()));
    const QString chosen =
        save ? QFileDialog::getSaveFileName(nullptr, QString::fromUtf8(kSaveAsDialogTitle.data()),
                                            QString::fromStdString(suggestedName), filter)
             : QFileDialog::getOpenFileName(nullptr, QString::fromUtf8(kOpenDialogTitle.data()), QString(), filter);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(chosen.toStdString());
}

}  // namespace

CCorvantEditorApp::DeviceFlowScope::DeviceFlowScope()
{
    ++g_deviceFlows;
}

CCorvantEditorApp::DeviceFlowScope::~DeviceFlowScope()
{
    --g_deviceFlows;
}

CCorvantEditorApp::CCorvantEditorApp(AppEnvironment environment)
    : m_environment(std::move(environment)), m_recentFiles(CommandId::kRecentFileCount)
{
    if (!m_environment.openHelpFile) {
        m_environment.openHelpFile = OpenWithDesktop;
    }
    if (!m_environment.chooseFile) {
        m_environment.chooseFile = AskWithFileDialog;
    }
    if (m_environment.firmwareFolder.empty()) {
        m_environment.firmwareFolder = GetFirmwareFolderInUse();
    }
    g_app = this;
}

CCorvantEditorApp::~CCorvantEditorApp()
{
    TearDown();
    if (g_app == this) {
        g_app = nullptr;
    }
}

CCorvantEditorApp* CCorvantEditorApp::Instance()
{
    return g_app;
}

bool CCorvantEditorApp::InitInstance(std::span<const std::string> args)
{
    m_exitCode = 0;
    // Tool switches come before anything else is set up: they write their file and end.
    const ToolSwitchRequest tool = ScanToolSwitches(args);
    if (tool.AsksForFile()) {
        m_exitCode = WriteToolSwitchFile(tool) ? 0 : 1;
        return false;
    }
    const EditorCommandLine commandLine = ParseEditorCommandLine(args);

    if (m_environment.singleInstance) {
        m_singleInstance = std::make_unique<SingleInstance>(m_environment.singleInstanceFolder,
                                                            EditorInstanceName(platform::VirtualHidFolder()));
        if (m_singleInstance->Claim(commandLine.fileToOpen) == SingleInstance::Outcome::HandedOver) {
            return false;
        }
    }

    if (QCoreApplication::organizationName().isEmpty()) {
        QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganisation));
    }
    if (QCoreApplication::applicationName().isEmpty()) {
        QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    }
    m_recentFiles.ReadList();
    m_speakerEqFailed = !LoadSpeakerEqLibrary(m_environment.dataFolder);
    LoadAppSettings();
    LoadVersionHackFile(m_environment.dataFolder / kVersionHackFileName);

    m_prompts = std::make_unique<DocumentPrompts>();
    m_document = std::make_unique<CCorvantEditorDoc>(
        DocumentServices{*m_prompts, *this, *m_environment.amplifiers}, m_environment.dataFolder);
    InstallCommands();
    InstallDocumentCommands(*this);
    m_antiAliasing = !commandLine.integerDrawer;
    SetAntiAliasedCurves(m_antiAliasing);

    m_startUpInProgress = true;
    const bool created = CreateFirstDocument(commandLine.fileToOpen);
    m_startUpInProgress = false;
    if (!created) {
        m_exitCode = 1;
        return false;
    }

    if (m_singleInstance) {
        m_singleInstance->Listen([this](std::uint32_t dataWord, const std::u16string& text) -> std::int32_t {
            if (m_frame) {
                m_frame->RaiseToFront();
            }
            if (dataWord == HandOver::kRaiseOnly) {
                return 1;
            }
            if (IsHandOverRefused() || !m_frame) {
                return 0;
            }
            platform::CopyData block;
            block.dataWord = dataWord;
            block.data = text.c_str();
            block.size = static_cast<std::uint32_t>((text.size() + 1) * sizeof(char16_t));
            std::intptr_t result = 0;
            platform::SendWindowMessage(m_frame->WindowId(), platform::kMsgCopyData, dataWord,
                                        reinterpret_cast<std::intptr_t>(&block), &result);
            return static_cast<std::int32_t>(result);
        });
    }
    m_frame->UpdateFrameTitle();
    if (m_frame->isMaximized()) {
        m_frame->showMaximized();
    } else {
        m_frame->show();
    }
    if (m_speakerEqFailed) {
        m_frame->Messages().Post(platform::MsgCorruptSpEqFile());
    }
    m_idleHook = platform::AddIdleHook([this] { OnIdle(); });
    m_initialised = 1;
    return true;
}

bool CCorvantEditorApp::CreateFirstDocument(const std::optional<std::filesystem::path>& fileToOpen)
{
    m_frame = std::make_unique<CMainFrame>(*this, *m_document);
    if (!m_frame->IsCreated()) {
        return false;
    }
    // A project named on the command line that cannot be opened leaves a new design instead.
    if (fileToOpen && OpenDocumentFile(*fileToOpen)) {
        return true;
    }
    return NewDocument();
}

bool CCorvantEditorApp::NewDocument()
{
    if (!m_document->OnNewDocument()) {
        return false;
    }
    InitialUpdateFrame();
    return true;
}

void CCorvantEditorApp::InitialUpdateFrame()
{
    if (!m_frame) {
        return;
    }
    m_frame->GetMainView()->OnInitialUpdate();
    m_frame->UpdateFrameTitle();
}

int CCorvantEditorApp::ExitInstance()
{
    TearDown();
    return m_exitCode;
}

void CCorvantEditorApp::TearDown()
{
    if (m_idleHook != 0) {
        platform::RemoveIdleHook(m_idleHook);
        m_idleHook = 0;
    }
    m_singleInstance.reset();
    // Views and panels go before the document whose controllers they show.
    m_frame.reset();
    m_afterSaveModified = nullptr;
    m_deviceFlows.reset();
    m_document.reset();
    CurrentAmplifier::Set(nullptr);
    platform::CommandRouter& router = platform::Router();
    if (router.Target(platform::CommandLevel::Document) == &m_documentCommands) {
        router.SetTarget(platform::CommandLevel::Document, nullptr);
    }
    if (router.Target(platform::CommandLevel::Application) == &m_appCommands) {
        router.SetTarget(platform::CommandLevel::Application, nullptr);
    }
    // Refused unless the settings were loaded, so an early end never writes zeros over them.
    if (GetAppSettingsLoadState() != SettingsLoadState::NotLoaded) {
        SaveAppSettings();
    }
    m_initialised = 0;
}

void CCorvantEditorApp::InstallCommands()
{
    m_appCommands.On(CommandId::kFileNew, [this] { OnFileNew(); });
    m_appCommands.On(CommandId::kFileOpen, [this] { OnFileOpen(); });
    m_appCommands.On(CommandId::kNewDesignMV220, [this] { OnNewDesign(ModelType::MV220); });
    m_appCommands.On(CommandId::kNewDesignMV440, [this] { OnNewDesign(ModelType::MV440); });
    m_appCommands.On(CommandId::kNewDesignMV340A, [this] { OnNewDesign(ModelType::MV340A); });
    m_appCommands.On(CommandId::kNewDesignMV440A, [this] { OnNewDesign(ModelType::MV440A); });
    m_appCommands.OnRange(CommandId::kFileMruFirst, CommandId::kFileMruLast,
                          [this](std::uint32_t id) { OnOpenRecentFile(id - CommandId::kFileMruFirst); });
    m_appCommands.OnUpdateRange(CommandId::kFileMruFirst, CommandId::kFileMruLast, [this](platform::CommandUi& ui) {
        ui.Enable(ui.id - CommandId::kFileMruFirst < m_recentFiles.Files().size());
    });
    m_appCommands.On(CommandId::kAppExit, [this] {
        if (m_frame) {
            m_frame->close();
        }
    });
    platform::Router().SetTarget(platform::CommandLevel::Application, &m_appCommands);
    platform::Router().SetTarget(platform::CommandLevel::Document, &m_documentCommands);
}

void CCorvantEditorApp::OnIdle()
{
    if (!m_frame) {
        return;
    }
    platform::SendCommand(CommandId::kIdlePoll);
    if (m_frame) {
        m_frame->UpdateFrameTitle();
    }
}

void CCorvantEditorApp::OnFileNew()
{
    if (SaveModified()) {
        NewDocument();
    }
    // A new-design command that was not carried out leaves no model behind for a later one.
    m_pendingNewDesignModel = ModelType::Unknown;
}

void CCorvantEditorApp::OnNewDesign(ModelType model)
{
    m_pendingNewDesignModel = model;
    OnFileNew();
}

void CCorvantEditorApp::OnFileOpen()
{
    const std::optional<std::filesystem::path> path = m_environment.chooseFile(false, std::string());
    if (path) {
        OpenDocumentFile(*path);
    }
}

bool CCorvantEditorApp::OnFileSave()
{
    return DoSave(false);
}

bool CCorvantEditorApp::OnFileSaveAs()
{
    return DoSave(true);
}

void CCorvantEditorApp::OnOpenRecentFile(std::size_t index)
{
    const std::vector<std::filesystem::path>& files = m_recentFiles.Files();
    if (index >= files.size()) {
        return;
    }
    const std::filesystem::path path = files[index];
    if (!OpenDocumentFile(path) && !std::filesystem::exists(path)) {
        m_recentFiles.Remove(index);
    }
}

bool CCorvantEditorApp::OpenDocumentFile(const std::filesystem::path& path)
{
    if (!m_document) {
        return false;
    }
    // The unmodified document of this path is already open.
    if (!m_document->GetPathName().empty() && !m_document->IsModified() &&
        Comparable(m_document->GetPathName()) == Comparable(path)) {
        return true;
    }
    if (!SaveModified()) {
        return false;
    }
    if (!m_document->OnOpenDocument(path)) {
        return false;
    }
    if (!m_document->GetPathName().empty()) {
        m_recentFiles.Add(m_document->GetPathName());
    }
    InitialUpdateFrame();
    return true;
}

bool CCorvantEditorApp::SaveModified()
{
    if (m_document && m_document->IsModified()) {
        std::string name = m_document->GetPathName().empty() ? m_document->GetTitle()
                                                             : m_document->GetPathName().filename().string();
        if (name.empty()) {
            name = std::string(kUntitledName);
        }
        platform::MessageBoxRequest request;
        request.text = FormatString(kSaveChangesText, name);
        request.buttons = platform::MessageButtons::YesNoCancel;
        switch (platform::ShowMessageBox(std::move(request))) {
        case platform::MessageAnswer::Yes:
            if (!DoSave(false)) {
                return false;
            }
            break;
        case platform::MessageAnswer::No:
            break;
        default:
            return false;
        }
    }
    if (m_afterSaveModified) {
        m_afterSaveModified();
    }
    return true;
}

bool CCorvantEditorApp::DoSave(bool askForName)
{
    if (!m_document) {
        return false;
    }
    std::filesystem::path path = m_document->GetPathName();
    if (askForName || path.empty()) {
        const std::string suggested =
            path.empty() ? m_document->GetTitle() + DocTemplateString(DocTemplateField::FilterExt) : path.string();
        const std::optional<std::filesystem::path> chosen = m_environment.chooseFile(true, suggested);
        if (!chosen) {
            return false;
        }
        path = *chosen;
        if (!path.has_extension()) {
            path += DocTemplateString(DocTemplateField::FilterExt);
        }
    }
    if (!m_document->OnSaveDocument(path)) {
        return false;
    }
    m_recentFiles.Add(m_document->GetPathName());
    return true;
}

bool CCorvantEditorApp::StartDeviceWatching(platform::WindowId window, platform::MessageId message)
{
    return m_environment.startDeviceWatching ? m_environment.startDeviceWatching(window, message) : false;
}

bool CCorvantEditorApp::OpenHelpFile(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && m_environment.openHelpFile(path);
}

bool CCorvantEditorApp::IsHandOverRefused() const
{
    return m_initialised == 0 || platform::IsModalRunning() || g_deviceFlows.load() > 0;
}

IDocumentPrompts& CCorvantEditorApp::Prompts() const
{
    return *m_prompts;
}

void CCorvantEditorApp::SetDeviceFlows(std::unique_ptr<DeviceFlowCommands> flows)
{
    m_deviceFlows = std::move(flows);
}

ModelType CCorvantEditorApp::TakePendingNewDesignModel()
{
    return std::exchange(m_pendingNewDesignModel, ModelType::Unknown);
}

void CCorvantEditorApp::PostCommand(std::uint32_t commandId)
{
    platform::PostCommand(commandId);
}

void CCorvantEditorApp::RunIdlePass()
{
    platform::RunIdlePass();
}

CobaltDeviceManager::WindowId CCorvantEditorApp::MainWindow()
{
    return m_frame ? m_frame->WindowId() : platform::kNoWindow;
}

void CCorvantEditorApp::PostWakeUp(CobaltDeviceManager::WindowId window)
{
    platform::PostWindowMessage(window, platform::kMsgWakeUp, 0, 0);
}

void CCorvantEditorApp::ShowLockDialog(std::uint32_t stringId, std::uint32_t delayMs)
{
    if (m_frame) {
        m_frame->ShowLockDialog(stringId, delayMs);
    }
}
