// A whole editor in the test process: the application object over a copy of the Data folder,
// with a scripted amplifier list and recording stand-ins for device watching, the help
// viewer and the file dialogs.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QProcessEnvironment>

#include "application/ui/CCorvantEditorApp.h"
#include "tests/support/TempFolder.h"

class CControlView;
class CCorvantEditorDoc;
class CMainFrame;
class LDelay;

class FakeAmplifiers final : public IAmplifierDirectory {
public:
    std::uint32_t ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first) override;
    void SetScanMode(std::uint32_t suspend, std::uint32_t clearList) override;

    std::vector<CobaltDeviceManager::ICobaltAmplifier*> present;
    int scanModeCalls = 0;
};

// A layout with the control view alone, small enough that the frame keeps 640 x 480.
inline constexpr const char* kSmallLayout =
    "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n"
    "Controls\t2\t0\t0\tx\t0\t0\t1\t0\t200,210,220\t250,250,250\t300,200\n";

class EditorFixture {
public:
    // `layout` replaces Data/ViewEnvironment.txt; nothing keeps the shipped one, an empty
    // text removes the file.
    explicit EditorFixture(std::optional<std::string> layout = std::string(kSmallLayout));
    ~EditorFixture();

    // Makes the application object and runs its start-up.
    bool Start(std::vector<std::string> args = {});
    CMainFrame& Frame() const;
    CCorvantEditorApp& App() const { return *app; }

    TempFolder folder;
    std::filesystem::path data;
    FakeAmplifiers amplifiers;
    std::vector<std::pair<platform::WindowId, platform::MessageId>> watchStarts;
    // Runs after a start of device watching is recorded (a real device manager, say).
    std::function<bool(platform::WindowId, platform::MessageId)> watchStarter;
    std::vector<std::filesystem::path> helpOpened;
    bool helpOpens = true;
    std::deque<std::optional<std::filesystem::path>> chosenFiles;
    std::unique_ptr<CCorvantEditorApp> app;
};

// Forgets what earlier tests left: the settings file and the profile with its recent files.
void ResetUserState();
// Delivers every posted event and message.
void PumpEvents();
// The environment of an editor program started by a test: offscreen, with its runtime, profile
// and data folders below `home` (made here), and without the start-up probe.
QProcessEnvironment EditorEnvironment(const std::filesystem::path& home);
// Selects the design's first delay block alone and gives the panel the control view opened.
LDelay* OpenDelayPanel(CCorvantEditorDoc& document, CControlView& controls);
