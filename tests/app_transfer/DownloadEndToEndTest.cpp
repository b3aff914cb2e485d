// A download through the progress dialog from a `virtual-amp` process, over the real device
// manager and device library: the amplifier holds a known design (uploaded through a write
// session first); after the download the new design's blocks hold exactly its bytes.
#include <gtest/gtest.h>

#include <map>

#include "application/document/CCorvantEditorDoc.h"
#include "application/document/DownloadedDesign.h"
#include "application/ui/DlgPushPullProgress.h"
#include "device_manager/amplifier/ProgressSynch.h"
#include "device_manager/sessions/IParamSessions.h"
#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "resources/templates/PushPullProgressTemplate.h"
#include "tests/app_block_view/BlockViewFixture.h"
#include "tests/device_manager_sessions/ManagerHarness.h"
#include "tests/support/ModalDriver.h"

namespace {

using namespace std::chrono_literals;
using Key = std::pair<std::int32_t, std::int32_t>;

constexpr auto kHangGuard = 60s;

std::map<Key, std::vector<std::uint8_t>> DesignBlobs(const CCorvantEditorDoc& document)
{
    std::map<Key, std::vector<std::uint8_t>> blobs;
    for (const auto& block : document.Blocks()) {
        const auto bytes = block->paramBlob.Bytes();
        blobs[{static_cast<std::int32_t>(block->type), block->channel}] = {bytes.begin(), bytes.end()};
    }
    return blobs;
}

TEST(DownloadEndToEnd, TheDesignInTheAmplifierArrivesInTheDocumentsBlocks)
{
    e2e_test::ManagerHarness harness;
    e2e_test::VirtualAmpProcess process(harness.Folder(), {"--device", "a210:DOWNLOAD"});
    ASSERT_TRUE(process.Running());
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
    CobaltDeviceManager::ICobaltAmplifier* amplifier = harness.FirstAmplifier();
    ASSERT_NE(amplifier, nullptr);

    EditorOnData editor("");
    CCorvantEditorDoc& document = *editor.App().GetDocument();
    // A design unlike the default one: every crossover with its own pair of filters.
    float frequency = 110.0f;
    for (const auto& controller : document.Controllers()) {
        if (auto* crossover = dynamic_cast<CCrossoverController*>(controller.get())) {
            const CrossoverFilterPair pair{{0, frequency}, {0, frequency * 40.0f}};
            ASSERT_TRUE(crossover->SetFilters(&pair));
            frequency += 35.0f;
        }
    }
    const auto known = DesignBlobs(document);

    CobaltDeviceManager::IWriteParamSession* write = nullptr;
    ASSERT_TRUE(amplifier->OpenWriteParamSession(&write));
    for (const auto& block : document.Blocks()) {
        const bool queued = write->SetBlockParam(static_cast<std::int32_t>(block->type), block->channel,
                                                 block->coefBlob.Data(), block->coefBlob.Size(),
                                                 block->paramBlob.Data(), block->paramBlob.Size());
        EXPECT_TRUE(queued || block->type == BlockType::InputGain) << static_cast<int>(block->type);
    }
    CobaltDeviceManager::ProgressSynch* written = nullptr;
    ASSERT_TRUE(CobaltDeviceManager::CreateProgressSynch(&written));
    ASSERT_TRUE(write->Start(written));
    write->Release();
    ASSERT_TRUE(written->WaitFor(kHangGuard));
    ASSERT_TRUE(written->Completed());
    written->Release();

    // A fresh design of the same model, then the download into it.
    editor.App().OnNewDesign(ModelType::MV440);
    ASSERT_NE(DesignBlobs(document), known);
    auto store = std::make_shared<ReadParamStore>();
    {
        ModalDriver driver;
        driver.ExpectDialog(PushPullProgressIds::kTemplate).RunUntilEnds(kHangGuard);
        ASSERT_EQ(RunDownloadProgress(amplifier, store), DownloadEnd::kDone);
    }
    amplifier->Release();

    // The amplifier keeps a crossover's bytes in a 256-byte area, the rest erased.
    for (std::int32_t channel = 0; channel < 4; ++channel) {
        std::vector<std::uint8_t> area = known.at({4, channel});
        area.resize(256, 0xFF);
        ASSERT_NE(FindReadParamBlock(*store, 4, channel), nullptr);
        EXPECT_EQ(FindReadParamBlock(*store, 4, channel)->data, area);
    }
    EXPECT_EQ(store->NormallyOpen(), 1);
    document.SetMutePolarityNormallyOpen(false);
    ApplyReadParamStore(document, *store);
    EXPECT_EQ(DesignBlobs(document), known);
    EXPECT_EQ(document.GetMutePolarityNormallyOpen(), 1);
}

}  // namespace
