// The application object of the single-document editor: the start-up (tool switches, single
// instance, profile and recent files, the speaker-EQ library, settings and version aliases,
// the document with its frame and main view, the first design), the idle hook that sends the
// document's poll, the framework's file commands, and the shut-down that saves the settings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "application/document/DocumentServices.h"
#include "application/ui/RecentFileList.h"
#include "platform/commands/CommandMap.h"
#include "platform/messages/Messages.h"

class CCorvantEditorDoc;
class CMainFrame;
class DeviceFlowCommands;
class DocumentPrompts;
class SingleInstance;

// What the program hands the application object; tests put doubles here.
struct AppEnvironment {
    std::filesystem::path dataFolder;                   // the Data folder beside the program
    std::filesystem::path firmwareFolder;               // the firmware images; empty: GetFirmwareFolderInUse()
    IAmplifierDirectory* amplifiers = nullptr;          // the device manager's list (required)
    // Starts device watching with the frame's window and the change message.
    std::function<bool(platform::WindowId, platform::MessageId)> startDeviceWatching;
    // Opens the help file with the desktop's handler; false when nothing could open it.
    std::function<bool(const std::filesystem::path&)> openHelpFile;
    // Asks for a project file to open (save false) or to save as (save true, with a suggested
    // name); nothing when the user cancels.
    std::function<std::optional<std::filesystem::path>(bool save, const std::string& suggestedName)> chooseFile;
    // Hand files to an editor that runs already, and answer later starts.
    bool singleInstance = true;
    std::filesystem::path singleInstanceFolder;         // empty: the user's runtime folder
};

class CCorvantEditorApp final : public IDocumentApplication {
public:
    explicit CCorvantEditorApp(AppEnvironment environment);
    // Takes the frame and the document down (frame first) if ExitInstance did not.
    ~CCorvantEditorApp();
    CCorvantEditorApp(const CCorvantEditorApp&) = delete;
    CCorvantEditorApp& operator=(const CCorvantEditorApp&) = delete;

    // The application object of this process (null when none exists).
    static CCorvantEditorApp* Instance();

    // The start-up with the program's arguments (without its name). False when the program
    // is to end now with ExitCode(): a tool switch wrote its file, the file went to the editor
    // that runs already, or the first design could not be made.
    bool InitInstance(std::span<const std::string> args);
    // Takes the frame and the document down and saves the settings (only when they were
    // loaded). Returns the exit code.
    int ExitInstance();
    int ExitCode() const { return m_exitCode; }
    bool IsInitialised() const { return m_initialised != 0; }

    CCorvantEditorDoc* GetDocument() const { return m_document.get(); }
    CMainFrame* GetMainFrame() const { return m_frame.get(); }
    IAmplifierDirectory& Amplifiers() const { return *m_environment.amplifiers; }
    const std::filesystem::path& DataFolder() const { return m_environment.dataFolder; }
    const std::filesystem::path& FirmwareFolder() const { return m_environment.firmwareFolder; }
    IDocumentPrompts& Prompts() const;
    // The document's device flows with their commands (after InitInstance made the document).
    DeviceFlowCommands* DeviceFlows() const { return m_deviceFlows.get(); }
    void SetDeviceFlows(std::unique_ptr<DeviceFlowCommands> flows);
    RecentFileList& RecentFiles() { return m_recentFiles; }
    // The document's command handlers (level "document" of the command chain); the device
    // flows add theirs here.
    platform::CommandMap& DocumentCommands() { return m_documentCommands; }
    // False after the flag "na": curves are drawn with the integer drawer.
    bool IsAntiAliasingAvailable() const { return m_antiAliasing; }
    bool SpeakerEqLibraryFailed() const { return m_speakerEqFailed; }

    // The framework's file commands.
    void OnFileNew();
    void OnNewDesign(ModelType model);
    void OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    void OnOpenRecentFile(std::size_t index);
    // Opens a project (a copy-data hand-over, the command line, the recent files). A path
    // equal to the unmodified open document's counts as opened without reading it again.
    bool OpenDocumentFile(const std::filesystem::path& path);
    // Asks to save a modified design: Yes saves (false when that fails), No goes on,
    // Cancel returns false.
    bool SaveModified();
    // Runs after a SaveModified that lets the design go (the device flows wait there for the
    // parameter writes to end).
    void SetAfterSaveModified(std::function<void()> hook) { m_afterSaveModified = std::move(hook); }

    bool StartDeviceWatching(platform::WindowId window, platform::MessageId message);
    bool OpenHelpFile(const std::filesystem::path& path);

    // A file handed over by another start is refused while a modal dialog, a box or a device
    // flow runs.
    bool IsHandOverRefused() const;
    class DeviceFlowScope {
    public:
        DeviceFlowScope();
        ~DeviceFlowScope();
        DeviceFlowScope(const DeviceFlowScope&) = delete;
        DeviceFlowScope& operator=(const DeviceFlowScope&) = delete;
    };

    // IDocumentApplication.
    ModelType TakePendingNewDesignModel() override;
    bool IsStartUpInProgress() override { return m_startUpInProgress; }
    void PostCommand(std::uint32_t commandId) override;
    void RunIdlePass() override;
    CobaltDeviceManager::WindowId MainWindow() override;
    void PostWakeUp(CobaltDeviceManager::WindowId window) override;
    void ShowLockDialog(std::uint32_t stringId, std::uint32_t delayMs) override;

private:
    void InstallCommands();
    void OnIdle();
    bool CreateFirstDocument(const std::optional<std::filesystem::path>& fileToOpen);
    bool NewDocument();
    void InitialUpdateFrame();
    bool DoSave(bool askForName);
    void TearDown();

    AppEnvironment m_environment;
    std::unique_ptr<DocumentPrompts> m_prompts;
    std::unique_ptr<CCorvantEditorDoc> m_document;
    std::unique_ptr<DeviceFlowCommands> m_deviceFlows;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<SingleInstance> m_singleInstance;
    RecentFileList m_recentFiles;
    platform::CommandMap m_appCommands;
    platform::CommandMap m_documentCommands;
    std::function<void()> m_afterSaveModified;
    ModelType m_pendingNewDesignModel = ModelType::Unknown;
    std::uint8_t m_initialised = 0;
    bool m_startUpInProgress = false;
    bool m_antiAliasing = true;
    bool m_speakerEqFailed = false;
    bool m_settingsLoaded = false;
    int m_idleHook = 0;
    int m_exitCode = 0;
};
