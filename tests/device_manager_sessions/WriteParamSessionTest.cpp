// The write session: its own image, block checks, the upload and its end codes.
#include <gtest/gtest.h>

#include <thread>

#include "device_manager/amplifier/ParamWriteImage.h"
#include "device_manager/sessions/Sessions.h"
#include "tests/device_manager_sessions/SessionTestSupport.h"

using namespace session_test;

namespace {

std::uint64_t MaskOf(const std::vector<std::uint8_t>& image)
{
    std::uint64_t mask = 0;
    for (int i = 7; i >= 0; --i) {
        mask = (mask << 8) | image[static_cast<std::size_t>(i)];
    }
    return mask;
}

class WriteParamSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller = CreateRCObject<TestController>(library);
        progress = CreateRCObject<RecordingProgress>();
        ASSERT_TRUE(NewWriteParamSession(controller, &session));
    }
    void TearDown() override
    {
        if (session != nullptr) {
            session->Release();
        }
        controller->Drain();
        progress->Release();
        controller->Release();
    }

    std::vector<std::uint8_t> Upload()
    {
        EXPECT_TRUE(session->Start(progress));
        EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 1);
        const auto calls = library.Calls(FakeOperationKind::UpgradeDSPParam);
        EXPECT_EQ(calls.size(), 1u);
        return calls.empty() ? std::vector<std::uint8_t>() : calls[0].input;
    }

    FakeDeviceLibrary library;
    TestController* controller = nullptr;
    RecordingProgress* progress = nullptr;
    IWriteParamSession* session = nullptr;
    platform::Event stop{platform::ResetMode::Manual};
};

}  // namespace

TEST_F(WriteParamSessionTest, AnEmptySessionUploadsZeroCoefficientsAndErasedParameters)
{
    const auto image = Upload();
    ASSERT_EQ(image.size(), kParamWriteImageSize);
    EXPECT_EQ(MaskOf(image), 0u);
    EXPECT_EQ(image[8], 0x00);      // type 1 coefficients
    EXPECT_EQ(image[12], 0xFF);     // type 1 parameters
    EXPECT_EQ(image[16], 0x00);     // type 2 coefficients
    EXPECT_EQ(image[1456], 0xFF);   // type 2 parameters
    EXPECT_EQ(image[2608 + 511], 0xFF);
    EXPECT_EQ(image[8484 + 4 * 128 - 1], 0xFF);
    EXPECT_EQ(image[8996], 0x00);   // not used
}

TEST_F(WriteParamSessionTest, AStoredBlockLandsAtItsOffsetsWithItsBitAndTheRestOfItsAreaStaysErased)
{
    std::vector<std::uint8_t> coefficients(360, 0x11);
    std::vector<std::uint8_t> parameters(10, 0x22);
    ASSERT_TRUE(session->SetBlockParam(2, 1, coefficients.data(), 360, parameters.data(), 10));
    const auto image = Upload();
    EXPECT_EQ(MaskOf(image), 0x20u);
    EXPECT_EQ(image[16 + 360], 0x11);
    EXPECT_EQ(image[16 + 360 + 359], 0x11);
    EXPECT_EQ(image[1456 + 256], 0x22);
    EXPECT_EQ(image[1456 + 256 + 9], 0x22);
    EXPECT_EQ(image[1456 + 256 + 10], 0xFF);
}

TEST_F(WriteParamSessionTest, TheMatrixMixerAlwaysMarksAllFourOfItsBlocks)
{
    std::vector<std::uint8_t> coefficients(128, 1);
    std::vector<std::uint8_t> parameters(512, 2);
    ASSERT_TRUE(session->SetBlockParam(11, 7, coefficients.data(), 128, parameters.data(), 512));
    EXPECT_EQ(MaskOf(Upload()), 0xF00u);
}

TEST_F(WriteParamSessionTest, BlocksOutsideTheRulesAreRefused)
{
    std::vector<std::uint8_t> bytes(512, 0);
    EXPECT_FALSE(session->SetBlockParam(3, 0, bytes.data(), 1, bytes.data(), 1));
    EXPECT_FALSE(session->SetBlockParam(0, 0, bytes.data(), 1, bytes.data(), 1));
    EXPECT_FALSE(session->SetBlockParam(13, 0, bytes.data(), 1, bytes.data(), 1));
    EXPECT_FALSE(session->SetBlockParam(2, 4, bytes.data(), 360, bytes.data(), 256));
    EXPECT_FALSE(session->SetBlockParam(2, 0, bytes.data(), 359, bytes.data(), 256));
    EXPECT_FALSE(session->SetBlockParam(2, 0, bytes.data(), 360, bytes.data(), 257));
    EXPECT_EQ(MaskOf(Upload()), 0u);
}

TEST_F(WriteParamSessionTest, NoBlockIsTakenOnceStarted)
{
    std::vector<std::uint8_t> bytes(360, 0);
    ASSERT_TRUE(session->Start(progress));
    EXPECT_FALSE(session->SetBlockParam(2, 0, bytes.data(), 360, bytes.data(), 10));
    EXPECT_FALSE(session->Start(progress));
    EXPECT_EQ(controller->Queued(), 1u);
}

TEST_F(WriteParamSessionTest, TheUploadReportsZeroFirstAndEndsWithZero)
{
    library.SetScript([](const FakeOperationCall&) {
        return Edited([&](FakeOperationScript& s) { s.latency = std::chrono::milliseconds(60); s.progress = 55; });
    });
    Upload();
    const auto events = progress->Events();
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0], "P 0 0");
    EXPECT_EQ(events[1], "P 0 55");
    EXPECT_EQ(events.back(), "C 0");
}

TEST_F(WriteParamSessionTest, ACancelledUploadEndsWithOneAndAFailedOneWithTwo)
{
    library.SetScript([](const FakeOperationCall&) {
        return Edited([&](FakeOperationScript& s) { s.latency = std::chrono::milliseconds(5000); });
    });
    ASSERT_TRUE(session->Start(progress));
    std::thread worker([&] { EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 0); });
    ASSERT_TRUE(library.WaitForCalls(FakeOperationKind::UpgradeDSPParam, 1, std::chrono::seconds(5)));
    session->Cancel();
    worker.join();
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 1"});

    IWriteParamSession* second = nullptr;
    ASSERT_TRUE(NewWriteParamSession(controller, &second));
    auto* secondProgress = CreateRCObject<RecordingProgress>();
    library.SetScript([](const FakeOperationCall&) { return Edited([&](FakeOperationScript& s) { s.success = false; }); });
    ASSERT_TRUE(second->Start(secondProgress));
    second->Release();
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), 0);
    EXPECT_EQ(secondProgress->Completions(), std::vector<std::string>{"C 2"});
    secondProgress->Release();
}
