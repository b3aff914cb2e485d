// The frame starts device watching once its event loop runs; the device manager then finds a
// virtual amplifier through the real device library and the frame turns its change notice into
// the go-online command.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include <QCoreApplication>
#include <QProcess>

#include "application/document/AmplifierRef.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DeviceManagerLink.h"
#include "device_manager/library/binding/QuarryDriverLibrary.h"
#include "device_manager/manager/CDeviceManager.h"
#include "platform/messages/ProgramMessages.h"
#include "resources/commands/CommandIds.h"
#include "tests/app_ui/EditorFixture.h"
#include "tests/support/PumpEvents.h"

namespace {

using namespace std::chrono_literals;

TEST(DeviceWatching, FrameStartsTheManagerWhichSeesTheVirtualAmplifier)
{
    ResetUserState();
    TempFolder devices("quarry-virtual-hid-");
    ::setenv("QUARRY_VIRTUAL_HID_DIR", devices.Path().c_str(), 1);
    QProcess amplifier;
    amplifier.start(VIRTUAL_AMP_PROGRAM, {"--dir", QString::fromStdString(devices.Path().string()), "--device",
                                          "a210:APPUI1"});
    ASSERT_TRUE(amplifier.waitForStarted(10000));

    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = devices.Path().string();
    CobaltDeviceManager::DeviceWatcher watcher(sources);
    {
        CobaltDeviceManager::CDeviceManager manager(CobaltDeviceManager::QuarryDriverLibrary(), watcher);
        DeviceManagerLink link(manager);
        EditorFixture editor;
        editor.watchStarter = [&link](platform::WindowId window, platform::MessageId message) {
            return link.StartWatching(window, message);
        };
        ASSERT_TRUE(editor.Start());
        int goOnline = 0;
        editor.App().DocumentCommands().On(CommandId::kGoOnline, [&goOnline] { ++goOnline; });
        // The frame's posted kick-start runs from the event loop and hands the manager the frame.
        ASSERT_TRUE(test_support::PumpEventsUntil([&] { return goOnline > 0; }, 30s));
        ASSERT_EQ(editor.watchStarts.size(), 1u);
        CobaltDeviceManager::ICobaltAmplifier* first = nullptr;
        const std::uint32_t count = link.ForFirstActiveAmplifier(&first);
        const AmplifierRef held = AmplifierRef::Adopt(count > 0 ? first : nullptr);
        EXPECT_EQ(count, 1u);
        ASSERT_TRUE(held);
        EXPECT_EQ(held->GetModel(), 2);
        editor.app->ExitInstance();
    }
    amplifier.terminate();
    amplifier.waitForFinished(10000);
    ::unsetenv("QUARRY_VIRTUAL_HID_DIR");
}

}  // namespace
