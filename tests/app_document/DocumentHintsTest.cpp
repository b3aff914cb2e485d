// What views hear from the document, the amplifier the blocks write to, and the pending
// device event the amplifier's worker sets.
#include <thread>

#include <gtest/gtest.h>

#include "application/document/AmplifierRef.h"
#include "resources/strings/StringIds.h"
#include "tests/app_document/DocumentTestSupport.h"

namespace {

class DocumentHintsTest : public DocumentTest {};

using H = UpdateHint;

TEST_F(DocumentHintsTest, DeleteContentsGoesOfflineThenResets)
{
    NewDesign(ModelType::MV440);
    observer.hints.clear();
    log.clear();
    Doc().DeleteContents();
    const std::vector<RecordedHint> expected = {{H::AmplifierChanged, nullptr}, {H::EnableControlView, nullptr},
                                                {H::Reset, nullptr}};
    EXPECT_EQ(observer.hints, expected);
    EXPECT_EQ(log, EventLog{"lock:0,0"});
    EXPECT_EQ(Doc().GetBlockCount(), 0u);
    EXPECT_TRUE(Doc().Controllers().empty());
    EXPECT_EQ(Doc().GetMeterList(), nullptr);
    EXPECT_FALSE(Doc().IsOnline());
}

TEST_F(DocumentHintsTest, ANewDesignGoesOfflineAndResetsTheViews)
{
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(observer.Hints(), (std::vector<H>{H::AmplifierChanged, H::EnableControlView, H::Reset}));
}

TEST_F(DocumentHintsTest, RedrawBlockViewsSendsHint2)
{
    Doc().RedrawBlockViews();
    EXPECT_EQ(observer.Hints(), std::vector<H>{H::RedrawDiagram});
}

TEST_F(DocumentHintsTest, EveryObserverHearsEachHintOnceAndARemovedOneNothing)
{
    RecordingObserver second;
    Doc().AddObserver(&second);
    Doc().AddObserver(&second);
    Doc().UpdateAllViews(H::DisableControlView);
    Doc().RemoveObserver(&second);
    Doc().UpdateAllViews(H::EnableControlView);
    EXPECT_EQ(observer.Hints(), (std::vector<H>{H::DisableControlView, H::EnableControlView}));
    EXPECT_EQ(second.Hints(), std::vector<H>{H::DisableControlView});
}

TEST_F(DocumentHintsTest, TheAmplifierHintCarriesItsPointer)
{
    RecordingAmplifier amplifier;
    Doc().UpdateAllViews(H::AmplifierChanged, &amplifier);
    ASSERT_EQ(observer.hints.size(), 1u);
    EXPECT_EQ(observer.hints[0].amplifier, &amplifier);
}

TEST_F(DocumentHintsTest, AttachingPointsEveryBlockAtTheAmplifierWithOneReferenceEach)
{
    NewDesign(ModelType::MV220);
    RecordingAmplifier amplifier;
    Doc().AttachAmplifierToBlocks(&amplifier);
    EXPECT_EQ(amplifier.refs, Doc().GetBlockCount());
    for (const std::unique_ptr<DiagramBlock>& block : Doc().Blocks()) {
        EXPECT_EQ(block->GetAmplifier(), &amplifier);
    }
    // A commit now reaches the amplifier.
    ASSERT_FALSE(Doc().Controllers().empty());
    Doc().Controllers().front()->Commit();
    EXPECT_GT(amplifier.blockParams, 0);
    Doc().AttachAmplifierToBlocks(nullptr);
    EXPECT_EQ(amplifier.refs, 0u);
}

TEST_F(DocumentHintsTest, FreeingTheDesignReleasesTheBlocksAmplifier)
{
    NewDesign(ModelType::MV440);
    RecordingAmplifier amplifier;
    Doc().AttachAmplifierToBlocks(&amplifier);
    Doc().DeleteContents();
    EXPECT_EQ(amplifier.refs, 0u);
}

TEST_F(DocumentHintsTest, GoingOfflineClearsTheStatusCallbackButKeepsTheCurrentAmplifier)
{
    NewDesign(ModelType::MV440);
    RecordingAmplifier amplifier;
    CurrentAmplifier::Set(&amplifier);
    amplifier.SetHwStatusCallback(&CCorvantEditorDoc::OnAmplifierStatusChanged, &Doc());
    Doc().AttachAmplifierToBlocks(&amplifier);
    Doc().SetOnline(true);
    Doc().SetFirstStatusPending(true);
    Doc().GoOffline();
    EXPECT_EQ(amplifier.callback, nullptr);
    EXPECT_EQ(amplifier.callbackContext, &Doc());
    EXPECT_FALSE(Doc().IsOnline());
    EXPECT_FALSE(Doc().IsFirstStatusPending());
    EXPECT_EQ(CurrentAmplifier::Get().Get(), &amplifier);
    EXPECT_EQ(amplifier.refs, 1u);
    CurrentAmplifier::Set(nullptr);
    EXPECT_EQ(amplifier.refs, 0u);
}

TEST_F(DocumentHintsTest, SettingTheSameCurrentAmplifierAgainKeepsItAlive)
{
    RecordingAmplifier amplifier;
    CurrentAmplifier::Set(&amplifier);
    CurrentAmplifier::Set(CurrentAmplifier::Get().Get());
    EXPECT_EQ(amplifier.refs, 1u);
    CurrentAmplifier::Set(nullptr);
    EXPECT_EQ(amplifier.refs, 0u);
}

TEST_F(DocumentHintsTest, StatusCallbacksFromTheWorkerWakeTheWindowOncePerTakenEvent)
{
    CCorvantEditorDoc& document = Doc();
    document.SetStatusWindow(4242);
    std::thread worker([&document] {
        for (int i = 0; i < 1000; ++i) {
            CCorvantEditorDoc::OnAmplifierStatusChanged(&document);
        }
    });
    worker.join();
    EXPECT_EQ(application.wakeUps.load(), 1);
    EXPECT_EQ(application.lastWakeUpWindow.load(), 4242u);
    EXPECT_EQ(Doc().TakePendingDeviceEvent(), 1u);
    EXPECT_EQ(Doc().TakePendingDeviceEvent(), 0u);
    std::thread again([&document] { CCorvantEditorDoc::OnAmplifierStatusChanged(&document); });
    again.join();
    EXPECT_EQ(application.wakeUps.load(), 2);
}

TEST_F(DocumentHintsTest, StatusCallbacksRacingTheIdlePollNeverLoseAnEvent)
{
    CCorvantEditorDoc& document = Doc();
    std::atomic<bool> done{false};
    std::thread worker([&document, &done] {
        for (int i = 0; i < 20000; ++i) {
            CCorvantEditorDoc::OnAmplifierStatusChanged(&document);
        }
        done = true;
    });
    int taken = 0;
    while (!done.load()) {
        taken += static_cast<int>(Doc().TakePendingDeviceEvent());
    }
    worker.join();
    taken += static_cast<int>(Doc().TakePendingDeviceEvent());
    // Every wake-up announced an event that some poll took.
    EXPECT_EQ(taken, application.wakeUps.load());
    EXPECT_GE(taken, 1);
}

TEST_F(DocumentHintsTest, DestroyingTheDocumentStopsTheAmplifiersCallsIntoIt)
{
    RecordingAmplifier amplifier;
    CurrentAmplifier::Set(&amplifier);
    {
        CCorvantEditorDoc document(DocumentServices{prompts, application, amplifiers}, DataFolder());
        amplifier.SetHwStatusCallback(&CCorvantEditorDoc::OnAmplifierStatusChanged, &document);
    }
    EXPECT_EQ(amplifier.callback, nullptr);
    CurrentAmplifier::Set(nullptr);
}

// The frame hands the document the outcome carried by the store's unlock notice; only a
// store that did not happen is shown.
TEST_F(DocumentHintsTest, AConfigurationThatWasNotStoredIsReported)
{
    Doc().OnSaveConfigResult(CobaltDeviceManager::kSaveConfigStored);
    EXPECT_TRUE(prompts.messages.empty());
    Doc().OnSaveConfigResult(CobaltDeviceManager::kSaveConfigNotStored);
    EXPECT_EQ(prompts.messages, std::vector<std::uint32_t>{StringId::kConfigNotStored});
    EXPECT_EQ(prompts.icons, std::vector<MessageIcon>{MessageIcon::Error});
}

}  // namespace
