#include "tests/app_flows/OnlineEditor.h"

#include <cstdlib>
#include <map>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>

#include "application/document/CCorvantEditorDoc.h"
#include "dsp_blocks/blocks/CCrossoverController.h"
#include "platform/base/ProgramFolders.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DeviceFlowCommands.h"
#include "device_manager/library/binding/QuarryDriverLibrary.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/IdlePass.h"
#include "tests/app_ui/EditorFixture.h"
#include "tests/support/PumpEvents.h"

using namespace std::chrono_literals;

CobaltDeviceManager::AmplifierTimings OnlineEditor::DefaultTimings()
{
    CobaltDeviceManager::AmplifierTimings timings;
    timings.sessions.bootLoaderWait = 1500ms;
    timings.sessions.bootLoaderRetry = 100ms;
    return timings;
}

OnlineEditor::OnlineEditor(const CobaltDeviceManager::AmplifierTimings& timings)
{
    if (auto settings = GetSettingsFilePath()) {
        std::filesystem::remove(*settings);
    }
    QSettings().clear();
    std::filesystem::copy(QUARRY_BUILD_DATA_DIR, data_.Path(), std::filesystem::copy_options::recursive |
                                                                   std::filesystem::copy_options::overwrite_existing);
    WriteWholeFile(data_.Path() / "ViewEnvironment.txt", kSmallLayout);
    ::setenv("QUARRY_VIRTUAL_HID_DIR", devices_.Path().c_str(), 1);
    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = devices_.Path();
    watcher_ = std::make_unique<CobaltDeviceManager::DeviceWatcher>(sources);
    manager_ = std::make_unique<CobaltDeviceManager::CDeviceManager>(CobaltDeviceManager::QuarryDriverLibrary(),
                                                                     *watcher_, timings);
    link_ = std::make_unique<DeviceManagerLink>(*manager_);
}

OnlineEditor::~OnlineEditor()
{
    if (app_) {
        app_->ExitInstance();
        app_.reset();
    }
    link_.reset();
    manager_.reset();
    watcher_.reset();
    ::unsetenv("QUARRY_VIRTUAL_HID_DIR");
}

bool OnlineEditor::Start()
{
    AppEnvironment environment;
    environment.dataFolder = data_.Path();
    environment.firmwareFolder = firmware_.Path();
    environment.amplifiers = link_.get();
    environment.singleInstance = false;
    environment.startDeviceWatching = [this](platform::WindowId window, platform::MessageId message) {
        return link_->StartWatching(window, message);
    };
    environment.openHelpFile = [](const std::filesystem::path&) { return true; };
    app_ = std::make_unique<CCorvantEditorApp>(std::move(environment));
    if (!app_->InitInstance({})) {
        return false;
    }
    CMainFrame& frame = Frame();
    frame.Messages().On(platform::MsgNotifyWritingParam(), [this, &frame](std::uintptr_t wParam, std::intptr_t lParam) {
        writeNotices.emplace_back(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        frame.OnNotifyWritingParam(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        return std::intptr_t{0};
    });
    return true;
}

std::unique_ptr<e2e_test::VirtualAmpProcess> OnlineEditor::Amp(const std::vector<std::string>& args)
{
    std::vector<std::string> all{"--reset-ms", "200"};
    all.insert(all.end(), args.begin(), args.end());
    return std::make_unique<e2e_test::VirtualAmpProcess>(devices_.Path(), all);
}

bool OnlineEditor::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    return test_support::PumpEventsUntil(done, limit);
}

std::uint32_t OnlineEditor::PresentCount()
{
    CobaltDeviceManager::ICobaltAmplifier* first = nullptr;
    const std::uint32_t count = link_->ForFirstActiveAmplifier(&first);
    if (count > 0) {
        first->Release();
    }
    return count;
}

CobaltDeviceManager::ICobaltAmplifier* OnlineEditor::FirstAmplifier()
{
    CobaltDeviceManager::ICobaltAmplifier* first = nullptr;
    return link_->ForFirstActiveAmplifier(&first) > 0 ? first : nullptr;
}

CMainFrame& OnlineEditor::Frame() const
{
    return *app_->GetMainFrame();
}

CCorvantEditorDoc& OnlineEditor::Doc() const
{
    return *app_->GetDocument();
}

DocumentDeviceFlows& OnlineEditor::Flows() const
{
    return app_->DeviceFlows()->Flows();
}

std::vector<std::pair<std::pair<std::uint32_t, std::uint32_t>, std::vector<std::uint8_t>>> DesignBlobs(
    const CCorvantEditorDoc& document)
{
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::vector<std::uint8_t>> blobs;
    for (const auto& block : document.Blocks()) {
        const auto bytes = block->paramBlob.Bytes();
        if (!bytes.empty()) {
            blobs.try_emplace({static_cast<std::uint32_t>(block->type), static_cast<std::uint32_t>(block->channel)},
                              bytes.begin(), bytes.end());
        }
    }
    return {blobs.begin(), blobs.end()};
}

void GiveCrossoversDistinctFilters(CCorvantEditorDoc& document, float from, float ratio, float step)
{
    float frequency = from;
    for (const auto& controller : document.Controllers()) {
        if (auto* crossover = dynamic_cast<CCrossoverController*>(controller.get())) {
            const CrossoverFilterPair pair{{0, frequency}, {0, frequency * ratio}};
            ASSERT_TRUE(crossover->SetFilters(&pair));
            frequency += step;
        }
    }
}
