// Copying and defining preset records.
#include <gtest/gtest.h>

#include "dsp_blocks/speaker_eq/SpeakerEqPreset.h"

using speaker_eq::SpeakerEqPreset;
using speaker_eq::SpeakerEqSection;

namespace {

SpeakerEqPreset Sample()
{
    SpeakerEqPreset preset;
    preset.name = u"Name";
    preset.eqName = u"KEY";
    preset.description = u"Text";
    preset.highPassType = 2;
    preset.highPassFrequency = 80.0f;
    preset.eqGain = -4.0f;
    preset.bands[3] = {1, 500.0f, 3.0f, 2.0f};
    preset.limiter.rmsThreshold = 40.0f;
    preset.limiterFlag = 1;
    preset.ComputeBandSections();
    return preset;
}

}  // namespace

TEST(SpeakerEqPreset, DefaultsMatchTheFlatPreset)
{
    const SpeakerEqPreset preset;
    EXPECT_EQ(preset.highPassFrequency, 20.0f);
    EXPECT_EQ(preset.lowPassFrequency, 20000.0f);
    EXPECT_EQ(preset.usingBandwidth, 1);
    EXPECT_EQ(preset.limiter.peakAttack, 1.5f);
    EXPECT_EQ(preset.limiter.rmsThreshold, 70.7f);
    EXPECT_EQ(preset.bands[8], (speaker_eq::SpeakerEqBand{0, 1000.0f, 0.0f, 1.0f}));
    EXPECT_EQ(preset.furtherSections[3], (SpeakerEqSection{0, 0, 1, 0, 0}));
}

TEST(SpeakerEqPreset, CopyHasDefaultSectionsUntilRecomputed)
{
    const SpeakerEqPreset original = Sample();
    ASSERT_NE(original.bandSections[3], SpeakerEqSection{});
    SpeakerEqPreset copy(original);
    EXPECT_EQ(copy.name, u"Name");
    EXPECT_EQ(copy.description, u"Text");
    EXPECT_EQ(copy.bands[3], original.bands[3]);
    EXPECT_EQ(copy.limiterFlag, 1);
    EXPECT_EQ(copy.bandSections[3], SpeakerEqSection{});
    copy.ComputeBandSections();
    EXPECT_EQ(copy.bandSections[3], original.bandSections[3]);
}

TEST(SpeakerEqPreset, DefinitionAssignmentKeepsNameAndSections)
{
    SpeakerEqPreset entry;
    entry.name = u"Shown";
    entry.bandSections[0].b0 = 2.0f;
    entry.AssignDefinition(Sample());
    EXPECT_EQ(entry.name, u"Shown");
    EXPECT_EQ(entry.eqName, u"KEY");
    EXPECT_EQ(entry.description, u"Text");
    EXPECT_EQ(entry.highPassFrequency, 80.0f);
    EXPECT_EQ(entry.limiter.rmsThreshold, 40.0f);
    EXPECT_EQ(entry.bandSections[0].b0, 2.0f);
    EXPECT_EQ(entry.bandSections[3], SpeakerEqSection{});
}
