// The store of the configuration: its lock and unlock notices and its end codes.
#include <gtest/gtest.h>

#include "device_manager/amplifier/AmplifierSessions.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "platform/messages/RecordingWindow.h"
#include "tests/device_manager_sessions/SessionTestSupport.h"

using namespace session_test;

namespace {

using Notice = std::pair<std::uintptr_t, std::intptr_t>;
const std::vector<Notice> kStored{{kSaveConfigBegins, 0}, {kSaveConfigEnds, kSaveConfigStored}};
const std::vector<Notice> kNotStored{{kSaveConfigBegins, 0}, {kSaveConfigEnds, kSaveConfigNotStored}};

class SaveConfigSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller = CreateRCObject<TestController>(library);
        progress = CreateRCObject<RecordingProgress>();
        message = platform::RegisterMessage("VeskQuarry_NotifySaveConfig");
    }
    void TearDown() override
    {
        controller->Drain();
        progress->Release();
        controller->Release();
    }

    std::int32_t Store()
    {
        ISaveConfigSession* session = nullptr;
        EXPECT_TRUE(NewSaveConfigSession(controller, window.Id(), message, &session));
        EXPECT_TRUE(session->Start(progress));
        session->Release();
        return controller->RunNext(library.DeviceHandle(), &stop);
    }

    // (wParam, lParam) of each notice.
    std::vector<std::pair<std::uintptr_t, std::intptr_t>> Notices()
    {
        std::vector<std::pair<std::uintptr_t, std::intptr_t>> notices;
        for (const auto& posted : window.Messages(message)) {
            notices.emplace_back(posted.wParam, posted.lParam);
        }
        return notices;
    }

    FakeDeviceLibrary library;
    TestController* controller = nullptr;
    RecordingProgress* progress = nullptr;
    platform::RecordingWindow window;
    platform::MessageId message = platform::kNoMessage;
    platform::Event stop{platform::ResetMode::Manual};
};

}  // namespace

TEST_F(SaveConfigSessionTest, AStorePostsTheLockThenTheUnlockNoticeAndEndsWithZero)
{
    EXPECT_EQ(Store(), 1);
    EXPECT_EQ(Notices(), kStored);
    const auto commands = library.Calls(FakeOperationKind::SendCommand);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].words[0], 1);
    EXPECT_EQ(commands[0].words[1], 0);
    EXPECT_EQ(commands[0].words[2], 0);
    EXPECT_EQ(progress->Events(), std::vector<std::string>{"C 0"});
}

TEST_F(SaveConfigSessionTest, AStoreCommandThatFailsEndsWithTwoAndAnUnlockNoticeSayingNotStored)
{
    library.SetScript([](const FakeOperationCall&) { return Edited([](FakeOperationScript& s) { s.success = false; }); });
    EXPECT_EQ(Store(), 0);
    EXPECT_EQ(Notices(), kNotStored);
    EXPECT_EQ(progress->Events(), std::vector<std::string>{"C 2"});
}

TEST_F(SaveConfigSessionTest, AnAmplifierThatNeverGetsReadyAgainMakesTheStoreFail)
{
    controller->SetReady(false);
    EXPECT_EQ(Store(), 0);
    EXPECT_EQ(Notices(), kNotStored);
    EXPECT_EQ(progress->Events(), std::vector<std::string>{"C 2"});
}

TEST_F(SaveConfigSessionTest, AStoreThatCannotStartFailsAndStillUnlocks)
{
    EXPECT_EQ(controller->RunNext(nullptr, &stop), -2);
    ISaveConfigSession* session = nullptr;
    ASSERT_TRUE(NewSaveConfigSession(controller, window.Id(), message, &session));
    ASSERT_TRUE(session->Start(progress));
    session->Release();
    EXPECT_EQ(controller->RunNext(nullptr, &stop), 0);
    EXPECT_EQ(Notices(), kNotStored);
    EXPECT_EQ(progress->Events(), std::vector<std::string>{"C 2"});
}
