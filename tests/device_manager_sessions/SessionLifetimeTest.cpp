// Sessions and their owners: queueing, refusal and sessions that never run.
#include <gtest/gtest.h>

#include "device_manager/sessions/Sessions.h"
#include "tests/device_manager_sessions/SessionTestSupport.h"

using namespace session_test;

namespace {

class SessionLifetimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller = CreateRCObject<TestController>(library);
        progress = CreateRCObject<RecordingProgress>();
    }
    void TearDown() override
    {
        controller->Drain();
        progress->Release();
        controller->Release();
    }

    FakeDeviceLibrary library;
    TestController* controller = nullptr;
    RecordingProgress* progress = nullptr;
};

}  // namespace

TEST_F(SessionLifetimeTest, StartAnswersFalseOnceTheAmplifierTakesNoSessionsAndTheSinkHearsNothing)
{
    controller->Refuse();
    IReadParamSession* read = nullptr;
    IWriteParamSession* write = nullptr;
    IUpdateFirmwareSession* firmware = nullptr;
    ASSERT_TRUE(NewReadParamSession(controller, 4, &read));
    ASSERT_TRUE(NewWriteParamSession(controller, &write));
    ASSERT_TRUE(NewFirmwareUpdateSession(controller, "/tmp/none.bin", &firmware));
    EXPECT_FALSE(read->Start(progress, nullptr));
    EXPECT_FALSE(write->Start(progress));
    EXPECT_FALSE(firmware->Start(progress));
    read->Release();
    write->Release();
    firmware->Release();
    EXPECT_TRUE(progress->Events().empty());
    EXPECT_EQ(progress->AddRef(), 2u);
    progress->Release();
}

TEST_F(SessionLifetimeTest, AQueuedSessionLetGoWithoutRunningEndsWithTwo)
{
    IReadParamSession* read = nullptr;
    IWriteParamSession* write = nullptr;
    ASSERT_TRUE(NewReadParamSession(controller, 2, &read));
    ASSERT_TRUE(NewWriteParamSession(controller, &write));
    ASSERT_TRUE(read->Start(progress, nullptr));
    ASSERT_TRUE(write->Start(progress));
    read->Release();
    write->Release();
    EXPECT_TRUE(progress->Events().empty());
    controller->Drain();
    EXPECT_EQ(progress->Events(), (std::vector<std::string>{"C 2", "C 2"}));
}

TEST_F(SessionLifetimeTest, TheQueueKeepsASessionAliveAfterItsCreatorLetGo)
{
    IReadParamSession* read = nullptr;
    ASSERT_TRUE(NewReadParamSession(controller, 2, &read));
    ASSERT_TRUE(read->Start(progress, nullptr));
    EXPECT_EQ(read->Release(), 1u);
    platform::Event stop(platform::ResetMode::Manual);
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 1);
    EXPECT_EQ(progress->Events().back(), "C 0");
}

TEST_F(SessionLifetimeTest, CreationRefusesNullArguments)
{
    IReadParamSession* read = nullptr;
    EXPECT_FALSE(NewReadParamSession(nullptr, 2, &read));
    EXPECT_FALSE(NewReadParamSession(controller, 2, nullptr));
    IWriteParamSession* write = nullptr;
    EXPECT_FALSE(NewWriteParamSession(nullptr, &write));
    IUpdateFirmwareSession* firmware = nullptr;
    EXPECT_FALSE(NewFirmwareUpdateSession(nullptr, "x", &firmware));
    EXPECT_EQ(read, nullptr);
    EXPECT_EQ(write, nullptr);
    EXPECT_EQ(firmware, nullptr);
}
