// The limiter controller: coefficients, blobs, limits by channel mode and model, and the
// reactions to model changes, channel modes, pastes and speaker presets.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "dsp_blocks/blocks/DiagramBlock.h"
#include "dsp_blocks/blocks/LLimiterController.h"
#include "tests/dsp_blocks/BlobBytes.h"
#include "tests/dsp_blocks/TestDoubles.h"

namespace {

Bytes NameField(const std::string& name)
{
    return Cat({U32(static_cast<std::uint32_t>(name.size())), Bytes(name.begin(), name.end())});
}

Bytes ValuesPayload(const LimiterSettings& v)
{
    return Cat({F32(v.peakThreshold), F32(v.peakAttack), F32(v.peakRelease), F32(v.rmsThreshold),
                F32(v.rmsAttack), F32(v.rmsRelease)});
}

ChannelConfig Config(std::uint32_t kind, std::uint32_t mode, std::uint32_t changedMask = 0)
{
    ChannelConfig config;
    config.kind = kind;
    config.channelCount = 4;
    for (auto& entry : config.channels) {
        entry.mode = mode;
    }
    config.changedMask = changedMask;
    return config;
}

class LimiterTest : public ::testing::Test {
protected:
    Bytes Params() const { return Bytes(block.paramBlob.Data(), block.paramBlob.Data() + block.paramBlob.Size()); }
    double Coefficient(std::size_t index) const { return DoubleAt(block.coefBlob.Data(), index); }
    void SetBlob(const Bytes& blob) { block.SetParamBlob(blob.data(), static_cast<std::uint32_t>(blob.size())); }

    DiagramBlock block;
};

}  // namespace

TEST_F(LimiterTest, DefaultCoefficientsFollowTheSinglePrecisionFormulas)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    ASSERT_EQ(block.coefBlob.Size(), 48u);
    // ln(100 / 153.68752) and ln(70.7 / 153.68752) in single precision.
    EXPECT_FLOAT_EQ(static_cast<float>(Coefficient(0)), -0.4297512173652649f);
    EXPECT_NEAR(Coefficient(0), -0.4298, 1e-4);
    EXPECT_FLOAT_EQ(static_cast<float>(Coefficient(3)), -0.7764759063720703f);
    // 1 - e^(-1 / (t x 48)) with the exponential rounded to single precision.
    EXPECT_EQ(Coefficient(1), 0.013792872428894043);
    EXPECT_EQ(Coefficient(2), 0.00020831823348999023);
    EXPECT_EQ(Coefficient(4), 2.086162567138672e-05);
    EXPECT_EQ(Coefficient(5), 1.043081283569336e-05);
}

TEST_F(LimiterTest, DefaultParameterBlobCarriesTheValuesAndFlat)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    EXPECT_EQ(Params(), List({Chunk(0xA1, ValuesPayload(LimiterSettings{})), Chunk(0xA2, NameField("Flat"))}));
    EXPECT_EQ(Params().size(), 40u);
    EXPECT_EQ(limiter.GetPresetName(), u"Flat");
}

TEST_F(LimiterTest, StoredValuesAndNameLoad)
{
    const LimiterSettings stored{90.0f, 2.0f, 150.0f, 60.0f, 1500.0f, 3000.0f};
    SetBlob(List({Chunk(0xA1, ValuesPayload(stored)), Chunk(0x77, Bytes{1, 2}), Chunk(0xA2, NameField("Sub"))}));
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    EXPECT_EQ(limiter.GetSettings(), stored);
    EXPECT_EQ(limiter.GetPresetName(), u"Sub");
    EXPECT_EQ(limiter.GetCeiling(), LimiterSettings{});
}

TEST_F(LimiterTest, OlderLayoutLoadsTheDefaultsWithFlat)
{
    SetBlob(Bytes(130, 0));
    LLimiterController limiter(block);
    EXPECT_TRUE(limiter.Load());
    EXPECT_EQ(limiter.GetSettings(), LimiterSettings{});
    EXPECT_EQ(limiter.GetPresetName(), u"Flat");
}

TEST_F(LimiterTest, ShortReadFailsTheLoadWithoutSending)
{
    SetBlob(List({Chunk(0xA1, Cat({F32(50.0f), F32(2.0f)}))}));
    LLimiterController limiter(block);
    EXPECT_FALSE(limiter.Load());
    EXPECT_EQ(block.coefBlob.Size(), 0u);
    SetBlob(List({Chunk(0xA2, U32(0x100000))}));
    EXPECT_FALSE(limiter.Load());
}

TEST_F(LimiterTest, ValuesThatAreNotUsableAreBroughtIntoRange)
{
    LimiterSettings odd{std::numeric_limits<float>::quiet_NaN(), -3.0f, 1e9f, 1000.0f, 0.0f, 2000.0f};
    SetBlob(List({Chunk(0xA1, ValuesPayload(odd))}));
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 100.0f);
    EXPECT_EQ(limiter.GetSettings().peakAttack, LLimiterController::kMinTimeMs);
    EXPECT_EQ(limiter.GetSettings().peakRelease, LLimiterController::kMaxTimeMs);
    EXPECT_EQ(limiter.GetSettings().rmsThreshold, 141.4f);
    EXPECT_EQ(block.coefBlob.Size(), 48u);
}

// Limits for the default ceiling, by channel mode and model.
TEST_F(LimiterTest, LimitTableForEveryModeAndModel)
{
    struct Row {
        std::uint32_t mode;
        std::int32_t model;
        float peak;
        float rms;
        bool ok;
    };
    const Row rows[] = {
        {3, 0, 141.4f, 100.0f, true}, {3, 4, 141.4f, 100.0f, true}, {3, 9, 141.4f, 100.0f, false},
        {4, 0, 100.0f, 70.7f, true},  {4, 4, 100.0f, 70.7f, true},  {4, 9, 100.0f, 70.7f, false},
        {1, 0, 100.0f, 70.7f, true},  {1, 1, 100.0f, 70.7f, true},  {1, 2, 100.0f, 70.7f, true},
        {1, 3, 100.0f, 70.7f, true},  {1, 4, 80.0f, 57.0f, true},   {1, 5, 100.0f, 70.7f, true},
        {2, 4, 80.0f, 57.0f, true},   {0, 2, 100.0f, 70.7f, true},  {2, 6, 100.0f, 70.7f, false},
        {2, -1, 100.0f, 70.7f, false},
    };
    for (const Row& row : rows) {
        DiagramBlock local;
        LLimiterController limiter(local);
        limiter.ApplyChannelConfig(Config(3, row.mode));
        limiter.SetModel(static_cast<ModelType>(row.model));
        LimiterSettings limits;
        EXPECT_EQ(limiter.GetLimits(limits), row.ok) << row.mode << "/" << row.model;
        EXPECT_EQ(limits.peakThreshold, row.peak) << row.mode << "/" << row.model;
        EXPECT_EQ(limits.rmsThreshold, row.rms) << row.mode << "/" << row.model;
        EXPECT_EQ(limits.rmsAttack, 1000.0f);
    }
}

TEST_F(LimiterTest, LimitsFollowTheCeilingOfTheAppliedPreset)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    const LimiterSettings high{200.0f, 3.0f, 90.0f, 150.0f, 800.0f, 900.0f};
    limiter.ApplySpeakerPreset(u"Big", &high, false);
    LimiterSettings limits;
    limiter.SetModel(ModelType::MV440);
    ASSERT_TRUE(limiter.GetLimits(limits));
    EXPECT_EQ(limits.peakThreshold, 141.4f);  // the ceiling is kept to the widest range
    EXPECT_EQ(limits.rmsThreshold, 100.0f);
    EXPECT_EQ(limits.rmsAttack, 800.0f);
    const LimiterSettings low{40.0f, 3.0f, 90.0f, 30.0f, 800.0f, 900.0f};
    limiter.ApplySpeakerPreset(u"Small", &low, false);
    ASSERT_TRUE(limiter.GetLimits(limits));
    EXPECT_EQ(limits.peakThreshold, 40.0f);
    EXPECT_EQ(limits.rmsThreshold, 30.0f);
    limiter.ApplyChannelConfig(Config(3, 3));
    ASSERT_TRUE(limiter.GetLimits(limits));
    EXPECT_EQ(limits.peakThreshold, 141.4f);
    EXPECT_EQ(limits.rmsAttack, 1000.0f);
}

TEST_F(LimiterTest, ModelWithLowerLimitsLowersTheThresholdsAndCommits)
{
    RecordingAmplifier amplifier;
    block.SetAmplifier(&amplifier);
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    limiter.ApplyChannelConfig(Config(3, 2));
    amplifier.queued.clear();
    EXPECT_TRUE(limiter.SetModel(ModelType::MV340A));
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 80.0f);
    EXPECT_EQ(limiter.GetSettings().rmsThreshold, 57.0f);
    EXPECT_EQ(amplifier.queued.size(), 1u);
    EXPECT_FALSE(limiter.SetModel(ModelType::MV440));
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 80.0f);
    EXPECT_EQ(amplifier.queued.size(), 1u);
    block.SetAmplifier(nullptr);
}

TEST_F(LimiterTest, FirstStatusOfAFreshDesignSetsTheThresholdsToTheLimits)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    ASSERT_TRUE(limiter.SetSettings(LimiterSettings{50.0f, 1.5f, 100.0f, 40.0f, 1000.0f, 2000.0f}));
    EXPECT_TRUE(limiter.ApplyChannelConfig(Config(1, 3)));
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 141.4f);
    EXPECT_EQ(limiter.GetSettings().rmsThreshold, 100.0f);
}

TEST_F(LimiterTest, FirstStatusOfAnOpenedDesignOnlyLowersThresholds)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    ASSERT_TRUE(limiter.SetSettings(LimiterSettings{50.0f, 1.5f, 100.0f, 90.0f, 1000.0f, 2000.0f}));
    EXPECT_TRUE(limiter.ApplyChannelConfig(Config(0, 4)));
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 50.0f);
    EXPECT_EQ(limiter.GetSettings().rmsThreshold, 70.7f);
    EXPECT_FALSE(limiter.ApplyChannelConfig(Config(0, 4)));
}

TEST_F(LimiterTest, StatusChangeActsOnlyOnTheBlocksChannel)
{
    block.channel = 2;
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    EXPECT_FALSE(limiter.ApplyChannelConfig(Config(2, 3, 0x3)));
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 100.0f);
    EXPECT_EQ(limiter.GetChannelMode(), 3u);
    EXPECT_TRUE(limiter.ApplyChannelConfig(Config(2, 3, 0x4)));
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 141.4f);
    EXPECT_FALSE(limiter.ApplyChannelConfig(Config(7, 4, 0xF)));
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 141.4f);
}

TEST_F(LimiterTest, PastedBlobNeverCarriesAPresetName)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    RecordingPanelHost host;
    limiter.OpenDialog(host);
    const LimiterSettings pasted{60.0f, 1.5f, 100.0f, 50.0f, 1200.0f, 2400.0f};
    const Bytes blob = List({Chunk(0xA1, ValuesPayload(pasted)), Chunk(0xA2, NameField("Sub"))});
    EXPECT_TRUE(limiter.ApplyBlob(0, blob.data(), static_cast<std::uint32_t>(blob.size())));
    EXPECT_EQ(limiter.GetSettings(), pasted);
    EXPECT_EQ(limiter.GetPresetName(), u"");
    EXPECT_EQ(host.log.back(), "refresh");
    EXPECT_EQ(Params(), List({Chunk(0xA1, ValuesPayload(pasted)), Chunk(0xA2, U32(0))}));
}

TEST_F(LimiterTest, BrokenPasteChangesNothing)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    const Bytes blob = List({Chunk(0xA1, F32(5.0f))});
    EXPECT_FALSE(limiter.ApplyBlob(0, blob.data(), static_cast<std::uint32_t>(blob.size())));
    EXPECT_EQ(limiter.GetSettings(), LimiterSettings{});
    EXPECT_EQ(limiter.GetPresetName(), u"Flat");
}

TEST_F(LimiterTest, PresetWithoutLimiterValuesRestoresDefaultCeilingAndMovesThresholds)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    const LimiterSettings low{40.0f, 3.0f, 90.0f, 30.0f, 800.0f, 900.0f};
    EXPECT_TRUE(limiter.ApplySpeakerPreset(u"Small", &low, true));
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 40.0f);
    EXPECT_EQ(limiter.GetSettings().rmsThreshold, 30.0f);
    EXPECT_EQ(limiter.GetSettings().rmsAttack, 1000.0f);  // times stay the limiter's own
    EXPECT_TRUE(limiter.ApplySpeakerPreset(u"Plain", nullptr, true));
    EXPECT_EQ(limiter.GetCeiling(), LimiterSettings{});
    EXPECT_EQ(limiter.GetSettings().peakThreshold, 100.0f);
    EXPECT_EQ(limiter.GetSettings().rmsThreshold, 70.7f);
    EXPECT_EQ(limiter.GetPresetName(), u"Plain");
    EXPECT_EQ(Params(), List({Chunk(0xA1, ValuesPayload(limiter.GetSettings())), Chunk(0xA2, NameField("Plain"))}));
}

TEST_F(LimiterTest, PresetWithoutAdjustLeavesTheValuesAndSendsNothing)
{
    RecordingAmplifier amplifier;
    block.SetAmplifier(&amplifier);
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    amplifier.queued.clear();
    const LimiterSettings low{40.0f, 3.0f, 90.0f, 30.0f, 800.0f, 900.0f};
    EXPECT_TRUE(limiter.ApplySpeakerPreset(nullptr, &low, false));
    EXPECT_EQ(limiter.GetPresetName(), u"");
    EXPECT_EQ(limiter.GetSettings(), LimiterSettings{});
    EXPECT_TRUE(amplifier.queued.empty());
    block.SetAmplifier(nullptr);
}

TEST_F(LimiterTest, NameTooLongForTheLimitersAreaFailsTheCommit)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    const std::u16string longest(92, u'n');
    EXPECT_TRUE(limiter.ApplySpeakerPreset(longest.c_str(), nullptr, false));
    EXPECT_TRUE(limiter.Commit());
    EXPECT_EQ(block.paramBlob.Size(), 128u);
    const std::u16string tooLong(93, u'n');
    limiter.ApplySpeakerPreset(tooLong.c_str(), nullptr, false);
    EXPECT_FALSE(limiter.Commit());
}

// A commit that fails must not be reported as a change that went through.
TEST_F(LimiterTest, ModelAndChannelChangesReportFailureWhenTheCommitFails)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    const std::u16string tooLong(93, u'n');
    limiter.ApplySpeakerPreset(tooLong.c_str(), nullptr, false);
    EXPECT_FALSE(limiter.SetModel(ModelType::MV340A));
    EXPECT_FALSE(limiter.ApplyChannelConfig(Config(1, 4)));
}

// A stored name too long for the limiter's area is cut where it is read.
TEST_F(LimiterTest, StoredNameTooLongForTheAreaIsCappedWhenLoaded)
{
    SetBlob(List({Chunk(0xA1, ValuesPayload(LimiterSettings{})), Chunk(0xA2, NameField(std::string(150, 'q')))}));
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    EXPECT_EQ(limiter.GetPresetName(), std::u16string(speaker_eq::kMaxPresetNameBytes, u'q'));
    EXPECT_EQ(block.paramBlob.Size(), 128u);
}

TEST_F(LimiterTest, FailedSettingsChangeKeepsThePreviousValues)
{
    LLimiterController limiter(block);
    ASSERT_TRUE(limiter.Load());
    const std::u16string tooLong(93, u'n');
    limiter.ApplySpeakerPreset(tooLong.c_str(), nullptr, false);
    EXPECT_FALSE(limiter.SetSettings(LimiterSettings{10.0f, 1.5f, 100.0f, 5.0f, 1000.0f, 2000.0f}));
    EXPECT_EQ(limiter.GetSettings(), LimiterSettings{});
}

TEST_F(LimiterTest, PanelOpensWithTheBlocksName)
{
    block.name = u"Limiter 1";
    block.channel = 1;
    LLimiterController limiter(block);
    RecordingPanelHost host;
    ASSERT_NE(limiter.OpenDialog(host), nullptr);
    EXPECT_EQ(host.kinds.back(), PanelKind::Limiter);
    EXPECT_EQ(host.log.front(), "title:Limiter 1");
    EXPECT_EQ(limiter.GetChannel(), 1);
    EXPECT_TRUE(limiter.CloseDialog());
}
