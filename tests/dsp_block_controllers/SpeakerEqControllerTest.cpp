// The speaker-EQ group controller: presets drive the channel's crossover and limiter,
// the coefficient blob follows the preset's sections and EQ gain, loading and pasting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dsp_blocks/blocks/CCrossoverController.h"
#include "dsp_blocks/blocks/ControllerFactory.h"
#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "tests/dsp_blocks/BlobBytes.h"
#include "tests/dsp_blocks/TestDoubles.h"

namespace {

const std::filesystem::path kLibrary = std::filesystem::path(QUARRY_SPEAKER_EQ_DATA_DIR) / "library";
const std::filesystem::path kShipped = QUARRY_SHIPPED_DATA_DIR;

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

class SpeakerEqTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadSpeakerEqLibrary(kLibrary)) << SpeakerEqLibraryError(); }

    DiagramBlock& Add(BlockType type, std::int32_t channel, const Bytes& params = {})
    {
        owned.push_back(std::make_unique<DiagramBlock>());
        DiagramBlock& block = *owned.back();
        block.type = type;
        block.channel = channel;
        block.flags = type == BlockType::SpeakerEQ ? 0x20000u : 0u;
        if (!params.empty()) {
            block.SetParamBlob(params.data(), static_cast<std::uint32_t>(params.size()));
        }
        blocks.push_back(&block);
        return block;
    }

    // Channel 0 with crossover, limiter and speaker EQ; channel 1 with a speaker EQ only.
    void MakeStandardChannels(const Bytes& speakerParams = {}, const Bytes& crossoverParams = {},
                              const Bytes& limiterParams = {})
    {
        crossoverBlock = &Add(BlockType::Crossover, 0, crossoverParams);
        limiterBlock = &Add(BlockType::Limiter, 0, limiterParams);
        speakerBlock = &Add(BlockType::SpeakerEQ, 0, speakerParams);
        loneSpeakerBlock = &Add(BlockType::SpeakerEQ, 1);
        factoryResult = CreateControllers(blocks, controllers);
        crossover = dynamic_cast<CCrossoverController*>(crossoverBlock->controller);
        limiter = dynamic_cast<LLimiterController*>(limiterBlock->controller);
        speaker = dynamic_cast<LSpeakerEQDialogController*>(speakerBlock->controller);
        ASSERT_NE(crossover, nullptr);
        ASSERT_NE(limiter, nullptr);
        ASSERT_NE(speaker, nullptr);
        ASSERT_EQ(loneSpeakerBlock->controller, speaker);
    }

    Bytes SpeakerParams() const
    {
        return Bytes(speakerBlock->paramBlob.Data(), speakerBlock->paramBlob.Data() + speakerBlock->paramBlob.Size());
    }

    std::vector<std::unique_ptr<DiagramBlock>> owned;
    std::vector<DiagramBlock*> blocks;
    std::vector<std::unique_ptr<CController>> controllers;
    bool factoryResult = false;
    DiagramBlock* crossoverBlock = nullptr;
    DiagramBlock* limiterBlock = nullptr;
    DiagramBlock* speakerBlock = nullptr;
    DiagramBlock* loneSpeakerBlock = nullptr;
    CCrossoverController* crossover = nullptr;
    LLimiterController* limiter = nullptr;
    LSpeakerEQDialogController* speaker = nullptr;
};

}  // namespace

TEST_F(SpeakerEqTest, EmptyBlobsLoadTheFlatPreset)
{
    MakeStandardChannels();
    EXPECT_TRUE(factoryResult);
    ASSERT_EQ(speaker->GetCount(), 2u);
    EXPECT_EQ(speaker->GetPresetName(0), u"Flat");
    EXPECT_EQ(speakerBlock->label2, u"Flat");
    EXPECT_EQ(SpeakerParams(), List({Chunk(0x80, Text("Flat"))}));
    ASSERT_EQ(speakerBlock->coefBlob.Size(), 360u);
    for (std::size_t k = 0; k < 9; ++k) {
        EXPECT_EQ(DoubleAt(speakerBlock->coefBlob.Data(), k * 5), 1.0);
        EXPECT_EQ(DoubleAt(speakerBlock->coefBlob.Data(), k * 5 + 3), 0.0);
    }
}

TEST_F(SpeakerEqTest, ChoosingAPresetSetsCrossoverLimiterAndBlock)
{
    MakeStandardChannels();
    ASSERT_TRUE(speaker->SetPreset(0, u"Sub"));
    EXPECT_EQ(crossover->GetHighPass(), (CrossoverFilter{4, 35.0f}));
    EXPECT_EQ(crossover->GetLowPass(), (CrossoverFilter{13, 120.0f}));
    EXPECT_EQ(limiter->GetCeiling(), (LimiterSettings{90.0f, 2.0f, 150.0f, 60.0f, 1500.0f, 3000.0f}));
    EXPECT_EQ(limiter->GetSettings().peakThreshold, 90.0f);
    EXPECT_EQ(limiter->GetSettings().rmsThreshold, 60.0f);
    EXPECT_EQ(limiter->GetPresetName(), u"Sub");
    EXPECT_EQ(speaker->GetPresetName(0), u"Sub");
    EXPECT_EQ(speakerBlock->label2, u"Sub");
    EXPECT_EQ(SpeakerParams(), List({Chunk(0x80, Text("Sub"))}));
}

TEST_F(SpeakerEqTest, CoefficientBlobAppliesTheEqGainToTheFirstSectionInSinglePrecision)
{
    MakeStandardChannels();
    ASSERT_TRUE(speaker->SetPreset(0, u"Sub"));
    const speaker_eq::SpeakerEqPreset& preset = FindSpeakerEqPreset(u"Sub");
    ASSERT_EQ(preset.eqGain, -3.0f);
    const float exponent = 0.05f * -3.0f;
    const auto gain = static_cast<float>(std::pow(10.0, static_cast<double>(exponent)));
    const std::uint8_t* data = speakerBlock->coefBlob.Data();
    ASSERT_EQ(speakerBlock->coefBlob.Size(), 360u);
    for (std::size_t k = 0; k < 9; ++k) {
        const speaker_eq::SpeakerEqSection& s = preset.bandSections[k];
        const float b0 = k == 0 ? s.b0 * gain : s.b0;
        EXPECT_EQ(DoubleAt(data, k * 5 + 0), static_cast<double>(b0)) << k;
        EXPECT_EQ(DoubleAt(data, k * 5 + 1), static_cast<double>(b0 * s.c1)) << k;
        EXPECT_EQ(DoubleAt(data, k * 5 + 2), static_cast<double>(b0 * s.c2)) << k;
        EXPECT_EQ(DoubleAt(data, k * 5 + 3), static_cast<double>(-s.a1)) << k;
        EXPECT_EQ(DoubleAt(data, k * 5 + 4), static_cast<double>(-s.a2)) << k;
    }
    // The first band is a 4 dB boost at 50 Hz, scaled by -3 dB.
    EXPECT_NEAR(DoubleAt(data, 0), preset.bandSections[0].b0 * 0.70795, 1e-4);
    EXPECT_NE(preset.bandSections[0].b0, 1.0f);
}

TEST_F(SpeakerEqTest, PresetWithoutCrossoverResetsTheCrossoverToFlat)
{
    MakeStandardChannels();
    ASSERT_TRUE(speaker->SetPreset(0, u"Sub"));
    ASSERT_TRUE(speaker->SetPreset(0, u"Orphan"));
    EXPECT_EQ(crossover->GetHighPass(), (CrossoverFilter{0, 20.0f}));
    EXPECT_EQ(crossover->GetLowPass(), (CrossoverFilter{0, 20000.0f}));
}

TEST_F(SpeakerEqTest, PresetWithoutLimiterValuesRestoresTheDefaultCeiling)
{
    MakeStandardChannels();
    ASSERT_TRUE(speaker->SetPreset(0, u"Sub"));
    ASSERT_TRUE(speaker->SetPreset(0, u"Top A"));
    EXPECT_EQ(limiter->GetCeiling(), LimiterSettings{});
    EXPECT_EQ(limiter->GetSettings().peakThreshold, 100.0f);
    EXPECT_EQ(limiter->GetSettings().rmsThreshold, 70.7f);
    EXPECT_EQ(crossover->GetHighPass(), (CrossoverFilter{12, 90.0f}));
    EXPECT_EQ(crossover->GetLowPass(), (CrossoverFilter{0, 20000.0f}));
}

TEST_F(SpeakerEqTest, ChannelWithoutCrossoverOrLimiterStillTakesPresets)
{
    MakeStandardChannels();
    EXPECT_TRUE(speaker->SetPreset(1, u"Sub"));
    EXPECT_EQ(loneSpeakerBlock->label2, u"Sub");
    EXPECT_EQ(crossover->GetHighPass(), (CrossoverFilter{0, 20.0f}));
}

TEST_F(SpeakerEqTest, FailedPresetChoiceRestoresThePreviousName)
{
    MakeStandardChannels();
    ASSERT_TRUE(speaker->SetPreset(0, u"Sub"));
    const Bytes before = SpeakerParams();
    const std::u16string tooLong(300, u'x');
    EXPECT_FALSE(speaker->SetPreset(0, tooLong.c_str()));
    EXPECT_EQ(speaker->GetPresetName(0), u"Sub");
    EXPECT_EQ(speakerBlock->label2, u"Sub");
    EXPECT_EQ(SpeakerParams(), before);
    EXPECT_EQ(limiter->GetPresetName(), u"Sub");
    EXPECT_EQ(crossover->GetHighPass(), (CrossoverFilter{4, 35.0f}));
    EXPECT_FALSE(speaker->SetPreset(5, u"Sub"));
}

TEST_F(SpeakerEqTest, NameMissingFromTheLibraryTakesTheFirstPresetAndKeepsTheName)
{
    MakeStandardChannels(List({Chunk(0x80, Text("Gone"))}));
    EXPECT_TRUE(factoryResult);
    EXPECT_EQ(speaker->GetPresetName(0), u"Gone");
    EXPECT_EQ(speakerBlock->label2, u"Gone");
    EXPECT_EQ(SpeakerParams(), List({Chunk(0x80, Text("Gone"))}));
    const std::vector<std::uint8_t> flat = LSpeakerEQDialogController::BuildCoefficientBlob(SpeakerEqPresets().front());
    EXPECT_EQ(Bytes(speakerBlock->coefBlob.Data(), speakerBlock->coefBlob.Data() + speakerBlock->coefBlob.Size()),
              flat);
    EXPECT_EQ(limiter->GetPresetName(), u"Gone");
}

TEST_F(SpeakerEqTest, LoadingKeepsTheCrossoverAndTheLimiterThresholds)
{
    const Bytes crossoverBlob = CCrossoverController::EncodeParams({2, 100.0f}, {0, 20000.0f});
    const Bytes limiterBlob =
        List({Chunk(0xA1, Cat({F32(120.0f), F32(1.5f), F32(100.0f), F32(80.0f), F32(1000.0f), F32(2000.0f)}))});
    MakeStandardChannels(List({Chunk(0x80, Text("Sub"))}), crossoverBlob, limiterBlob);
    EXPECT_TRUE(factoryResult);
    EXPECT_EQ(speaker->GetPresetName(0), u"Sub");
    EXPECT_EQ(crossover->GetHighPass(), (CrossoverFilter{2, 100.0f}));
    EXPECT_EQ(limiter->GetSettings().peakThreshold, 120.0f);
    EXPECT_EQ(limiter->GetSettings().rmsThreshold, 80.0f);
    EXPECT_EQ(limiter->GetCeiling().peakThreshold, 90.0f);
}

TEST_F(SpeakerEqTest, OlderLayoutStartingWithFlatLoadsAsFlat)
{
    Bytes older = Text("Flat");
    older.resize(140, 0x33);
    MakeStandardChannels(older);
    EXPECT_TRUE(factoryResult);
    EXPECT_EQ(speaker->GetPresetName(0), u"Flat");
    EXPECT_EQ(SpeakerParams(), List({Chunk(0x80, Text("Flat"))}));
}

TEST_F(SpeakerEqTest, BlobThatDoesNotDecodeFailsTheLoadButTheOtherBlocksGoOn)
{
    MakeStandardChannels(Bytes{5, 0, 0x80, 'S'});
    EXPECT_FALSE(factoryResult);
    EXPECT_EQ(speakerBlock->coefBlob.Size(), 0u);
    EXPECT_EQ(loneSpeakerBlock->label2, u"Flat");
    EXPECT_EQ(loneSpeakerBlock->coefBlob.Size(), 360u);
}

TEST_F(SpeakerEqTest, EmptyNameStoresNoChunkAndReadsBackAsFlat)
{
    MakeStandardChannels();
    ASSERT_TRUE(speaker->SetPreset(0, nullptr));
    EXPECT_EQ(speaker->GetPresetName(0), u"");
    EXPECT_EQ(SpeakerParams(), (Bytes{0, 0}));
    ASSERT_TRUE(speaker->Load());
    EXPECT_EQ(speaker->GetPresetName(0), u"Flat");
}

TEST_F(SpeakerEqTest, PasteAppliesThePresetToTheRecordOfThatChannel)
{
    MakeStandardChannels();
    RecordingPanelHost host;
    ASSERT_NE(speaker->OpenDialog(host), nullptr);
    EXPECT_EQ(host.kinds.back(), PanelKind::SpeakerEQ);
    const Bytes pasted = List({Chunk(0x80, Text("Sub"))});
    EXPECT_TRUE(speaker->ApplyBlob(0, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_EQ(speaker->GetPresetName(0), u"Sub");
    EXPECT_EQ(crossover->GetHighPass(), (CrossoverFilter{4, 35.0f}));
    EXPECT_EQ(host.log.back(), "row:0");
    EXPECT_FALSE(speaker->ApplyBlob(2, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_FALSE(speaker->ApplyBlob(-1, pasted.data(), static_cast<std::uint32_t>(pasted.size())));
    EXPECT_TRUE(speaker->CloseDialog());
}

TEST_F(SpeakerEqTest, CommitStoresEveryRecordAndOnlineBlocksReachTheAmplifier)
{
    MakeStandardChannels();
    RecordingAmplifier amplifier;
    speakerBlock->SetAmplifier(&amplifier);
    EXPECT_TRUE(speaker->Commit());
    ASSERT_EQ(amplifier.queued.size(), 1u);
    EXPECT_EQ(amplifier.queued[0].type, 5);
    EXPECT_EQ(amplifier.queued[0].coefficients.size(), 360u);
    EXPECT_FALSE(speaker->SetModel(ModelType::MV440));
    EXPECT_FALSE(speaker->ApplyChannelConfig(ChannelConfig{}));
    speakerBlock->SetAmplifier(nullptr);
}

// A name that fills the speaker-EQ blob does not fit behind the limiter's values: both
// decoders keep only what the limiter can store, so the limiter goes on committing.
TEST_F(SpeakerEqTest, LongPresetNameFromABlobIsCappedSoTheLimiterStillCommits)
{
    const std::string longName(200, 'L');
    MakeStandardChannels(List({Chunk(0x80, Text(longName))}));
    EXPECT_TRUE(factoryResult);
    const std::u16string capped(speaker_eq::kMaxPresetNameBytes, u'L');
    EXPECT_EQ(speaker->GetPresetName(0), capped);
    EXPECT_EQ(limiter->GetPresetName(), capped);
    for (const std::unique_ptr<CController>& controller : controllers) {
        controller->SetModel(ModelType::MV340A);
    }
    ASSERT_GE(limiterBlock->paramBlob.Size(), 7u);
    float storedPeak = 0.0f;
    std::memcpy(&storedPeak, limiterBlock->paramBlob.Data() + 3, sizeof storedPeak);
    EXPECT_EQ(storedPeak, 80.0f);
}

// The limiter's preset name and ceiling follow the channel's speaker preset after every load,
// also when the speaker-EQ blob is empty (the flat preset), so that a design that is saved
// and opened again comes back as it was.
TEST_F(SpeakerEqTest, AnEmptySpeakerBlobAlsoGivesTheLimiterTheFlatPreset)
{
    const Bytes limiterBlob = List({Chunk(0xA1, Cat({F32(90.0f), F32(2.0f), F32(150.0f), F32(60.0f), F32(1500.0f),
                                                     F32(3000.0f)})),
                                    Chunk(0xA2, Cat({U32(3), Text("Sub")}))});
    MakeStandardChannels({}, {}, limiterBlob);
    EXPECT_EQ(limiter->GetPresetName(), u"Flat");
    EXPECT_EQ(limiter->GetCeiling(), LimiterSettings{});
    EXPECT_EQ(limiter->GetSettings().peakThreshold, 90.0f);
}

// A design saved before the shipped presets were renamed names a preset by its former name,
// its EQ name now: loading or pasting it gives the renamed preset. Other names stay as they are.
TEST_F(SpeakerEqTest, FormerNameOfARenamedShippedPresetLoadsThatPresetUnderItsNewName)
{
    ASSERT_TRUE(LoadSpeakerEqLibrary(kShipped)) << SpeakerEqLibraryError();
    MakeStandardChannels();
    for (const auto& [former, now] : std::vector<std::pair<std::u16string, std::u16string>>{
             {u"Ceiling 6.5in 70V", u"Ceil 6.5 70V"}, {u"Ceiling 6.5in 100V", u"Ceil 6.5 100V"},
             {u"Ceiling 8in 70V", u"Ceil 8 70V"}, {u"Ceiling 8in 100V", u"Ceil 8 100V"},
             {u"Surface-mount 5in", u"Surface 5in"}, {u"Subwoofer 100V", u"Sub 100V"},
             {u"Full-range low-Z", u"Full-range lo-Z"}, {u"Ceiling 10in 70V", u"Ceiling 10in 70V"}}) {
        SCOPED_TRACE(::testing::PrintToString(former));
        const Bytes stored = LSpeakerEQDialogController::EncodeParams(former);
        const auto size = static_cast<std::uint32_t>(stored.size());
        speakerBlock->SetParamBlob(stored.data(), size);
        ASSERT_TRUE(speaker->Load() && speaker->ApplyBlob(1, stored.data(), size));
        EXPECT_EQ(speaker->GetPresetName(0), now);
        EXPECT_EQ(limiter->GetPresetName(), now);
        EXPECT_EQ(loneSpeakerBlock->label2, now);
        const Bytes expected = LSpeakerEQDialogController::BuildCoefficientBlob(FindSpeakerEqPreset(now));
        const std::uint8_t* data = speakerBlock->coefBlob.Data();
        EXPECT_EQ(Bytes(data, data + speakerBlock->coefBlob.Size()), expected);
        EXPECT_EQ(expected == LSpeakerEQDialogController::BuildCoefficientBlob(SpeakerEqPresets().front()),
                  former == now);
    }
}
