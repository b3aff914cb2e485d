#include "tests/app_ui/EditorFixture.h"

#include <QCoreApplication>
#include <QSettings>

#include "platform/base/ProgramFolders.h"
#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CControlView.h"
#include "application/ui/CMainFrame.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/ui/LDelay.h"

std::uint32_t FakeAmplifiers::ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first)
{
    if (!present.empty()) {
        present.front()->AddRef();
        *first = present.front();
    }
    return static_cast<std::uint32_t>(present.size());
}

void FakeAmplifiers::SetScanMode(std::uint32_t, std::uint32_t)
{
    ++scanModeCalls;
}

EditorFixture::EditorFixture(std::optional<std::string> layout) : folder("quarry-app-ui-")
{
    data = folder.Path() / "Data";
    std::filesystem::copy(QUARRY_BUILD_DATA_DIR, data, std::filesystem::copy_options::recursive);
    if (layout) {
        if (layout->empty()) {
            std::filesystem::remove(data / "ViewEnvironment.txt");
        } else {
            WriteWholeFile(data / "ViewEnvironment.txt", *layout);
        }
    }
}

EditorFixture::~EditorFixture()
{
    if (app) {
        app->ExitInstance();
        app.reset();
    }
}

bool EditorFixture::Start(std::vector<std::string> args)
{
    AppEnvironment environment;
    environment.dataFolder = data;
    environment.firmwareFolder = folder.Path() / "Firmware";
    environment.amplifiers = &amplifiers;
    environment.singleInstance = false;
    environment.startDeviceWatching = [this](platform::WindowId window, platform::MessageId message) {
        watchStarts.emplace_back(window, message);
        return watchStarter ? watchStarter(window, message) : true;
    };
    environment.openHelpFile = [this](const std::filesystem::path& path) {
        helpOpened.push_back(path);
        return helpOpens;
    };
    environment.chooseFile = [this](bool, const std::string&) -> std::optional<std::filesystem::path> {
        if (chosenFiles.empty()) {
            return std::nullopt;
        }
        auto chosen = chosenFiles.front();
        chosenFiles.pop_front();
        return chosen;
    };
    app = std::make_unique<CCorvantEditorApp>(std::move(environment));
    return app->InitInstance(args);
}

CMainFrame& EditorFixture::Frame() const
{
    return *app->GetMainFrame();
}

void ResetUserState()
{
    if (auto settings = GetSettingsFilePath()) {
        std::filesystem::remove(*settings);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Vesk"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvantine-Editor"));
    QSettings().clear();
}

void PumpEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

LDelay* OpenDelayPanel(CCorvantEditorDoc& document, CControlView& controls)
{
    DiagramBlock* delay = nullptr;
    for (const auto& block : document.Blocks()) {
        block->selected = 0;
        if (delay == nullptr && block->type == BlockType::Delay) {
            delay = block.get();
        }
    }
    if (delay != nullptr) {
        delay->selected = 1;
    }
    controls.OnSelectionChanged();
    return dynamic_cast<LDelay*>(controls.OpenPanel());
}

QProcessEnvironment EditorEnvironment(const std::filesystem::path& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"}) {
        const auto folder = home / name;
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
        environment.insert(name, QString::fromStdString(folder.string()));
    }
    environment.remove("QUARRY_STARTUP_PROBE");
    return environment;
}
