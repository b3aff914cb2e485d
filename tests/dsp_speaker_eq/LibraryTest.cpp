// Loading the library from a Data folder into the program-wide store, the flat fallback,
// lookups, and the library that ships with the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "dsp_blocks/filters/Biquad.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "tests/support/TempFolder.h"

using speaker_eq::SpeakerEqPreset;

namespace {

const std::filesystem::path kFixtures = QUARRY_SPEAKER_EQ_DATA_DIR;
const std::filesystem::path kShipped = QUARRY_SHIPPED_DATA_DIR;

// A Data folder of the test's own, removed with its content.
class ScratchFolder {
public:
    void Write(const std::string& name, const std::string& bytes) const { WriteWholeFile(folder_.Path() / name, bytes); }
    const std::filesystem::path& Path() const { return folder_.Path(); }

private:
    TempFolder folder_{"speq-"};
};

const SpeakerEqPreset* Named(const std::vector<SpeakerEqPreset>& store, std::u16string_view name)
{
    for (const SpeakerEqPreset& preset : store) {
        if (preset.name == name) {
            return &preset;
        }
    }
    return nullptr;
}

void ExpectOnlyFlatFallback()
{
    const std::vector<SpeakerEqPreset>& store = SpeakerEqPresets();
    ASSERT_EQ(store.size(), 1u);
    const SpeakerEqPreset& flat = store[0];
    EXPECT_EQ(flat.name, u"Flat");
    EXPECT_EQ(flat.eqName, u"Flat");
    EXPECT_EQ(flat.highPassType, 0u);
    EXPECT_EQ(flat.highPassFrequency, 20.0f);
    EXPECT_EQ(flat.lowPassType, 0u);
    EXPECT_EQ(flat.lowPassFrequency, 20000.0f);
    EXPECT_EQ(flat.limiterFlag, 0);
    for (const auto& band : flat.bands) {
        EXPECT_EQ(band.type, 0u);
        EXPECT_EQ(band.frequency, 1000.0f);
        EXPECT_EQ(band.q, 1.0f);
    }
    for (const auto& section : flat.bandSections) {
        EXPECT_EQ(section, speaker_eq::SpeakerEqSection{});
    }
}

}  // namespace

TEST(SpeakerEqLibrary, FixtureLoadsEveryListedPresetInListOrder)
{
    std::vector<SpeakerEqPreset> store;
    std::string error;
    ASSERT_TRUE(speaker_eq::LoadSpeakerEQList(store, kFixtures / "library", &error)) << error;
    std::vector<std::u16string> names;
    for (const SpeakerEqPreset& preset : store) {
        names.push_back(preset.name);
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Flat", u"Sub", u"Top A", u"Top B", u"Orphan", u"Column Q"}));
}

TEST(SpeakerEqLibrary, AliasEntryTakesTheDefinitionOfItsEqName)
{
    std::vector<SpeakerEqPreset> store;
    ASSERT_TRUE(speaker_eq::LoadSpeakerEQList(store, kFixtures / "library"));
    const SpeakerEqPreset* sub = Named(store, u"Sub");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->eqName, u"SUB-12");
    EXPECT_EQ(sub->description, u"12-inch subwoofer");
    EXPECT_EQ(sub->highPassType, 4u);
    EXPECT_EQ(sub->highPassFrequency, 35.0f);
    EXPECT_EQ(sub->lowPassType, 13u);
    EXPECT_EQ(sub->lowPassFrequency, 120.0f);
    EXPECT_EQ(sub->eqGain, -3.0f);
    EXPECT_NEAR(sub->bands[0].q, 1.4142f, 1e-4f);
    EXPECT_EQ(sub->bands[1].type, 3u);
    EXPECT_EQ(sub->bands[1].gain, -2.5f);
    EXPECT_EQ(sub->bands[2].type, 0u);  // bypassed
    EXPECT_EQ(sub->bands[2].frequency, 300.0f);
    EXPECT_EQ(sub->limiterFlag, 1);
    EXPECT_EQ(sub->limiter.peakThreshold, 90.0f);
    EXPECT_EQ(sub->limiter.rmsRelease, 3000.0f);
}

TEST(SpeakerEqLibrary, DuplicateEqNameDefinesOnlyTheFirstEntry)
{
    std::vector<SpeakerEqPreset> store;
    ASSERT_TRUE(speaker_eq::LoadSpeakerEQList(store, kFixtures / "library"));
    const SpeakerEqPreset* first = Named(store, u"Top A");
    const SpeakerEqPreset* second = Named(store, u"Top B");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->highPassType, 12u);
    EXPECT_EQ(first->eqPolarity, 1);
    EXPECT_EQ(first->bands[8].q, 0.7f);
    EXPECT_EQ(second->highPassType, 0u);
    EXPECT_EQ(second->description, u"");
    EXPECT_EQ(second->eqName, u"TOP-12");
}

TEST(SpeakerEqLibrary, EntryWithoutDefinitionKeepsTheDefaults)
{
    std::vector<SpeakerEqPreset> store;
    ASSERT_TRUE(speaker_eq::LoadSpeakerEQList(store, kFixtures / "library"));
    const SpeakerEqPreset* orphan = Named(store, u"Orphan");
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(orphan->lowPassFrequency, 20000.0f);
    EXPECT_EQ(orphan->usingBandwidth, 1);
}

TEST(SpeakerEqLibrary, BandIndexOutOfRangeFailsTheLoadAndLeavesTheStoreEmpty)
{
    std::vector<SpeakerEqPreset> store(2);
    std::string error;
    EXPECT_FALSE(speaker_eq::LoadSpeakerEQList(store, kFixtures / "bad_band_index", &error));
    EXPECT_TRUE(store.empty());
    EXPECT_NE(error.find("Bad"), std::string::npos) << error;
}

TEST(SpeakerEqLibrary, LimiterWithoutRmsReleaseFailsTheLoad)
{
    std::vector<SpeakerEqPreset> store;
    EXPECT_FALSE(speaker_eq::LoadSpeakerEQList(store, kFixtures / "missing_limiter_value"));
    EXPECT_TRUE(store.empty());
}

TEST(SpeakerEqLibrary, BillionLaughsFixtureIsRefused)
{
    std::vector<SpeakerEqPreset> store;
    std::string error;
    EXPECT_FALSE(speaker_eq::LoadSpeakerEQList(store, kFixtures / "billion_laughs", &error));
    EXPECT_NE(error.find("document type"), std::string::npos) << error;
}

TEST(SpeakerEqLibrary, MissingFilesFailTheLoad)
{
    ScratchFolder folder;
    std::vector<SpeakerEqPreset> store;
    EXPECT_FALSE(speaker_eq::LoadSpeakerEQList(store, folder.Path()));
    folder.Write("SpeakerEQ_list.dat", "\"A\"\n");
    EXPECT_FALSE(speaker_eq::LoadSpeakerEQList(store, folder.Path()));  // no load directive
    folder.Write("SpeakerEQ_list.dat", "\"A\"\n$load = \"absent.xml\"\n");
    EXPECT_FALSE(speaker_eq::LoadSpeakerEQList(store, folder.Path()));
    folder.Write("absent.xml", "<Speakers/>");
    EXPECT_TRUE(speaker_eq::LoadSpeakerEQList(store, folder.Path()));
}

TEST(SpeakerEqLibrary, ListWithoutPresetsIsAFailedLoad)
{
    ScratchFolder folder;
    folder.Write("SpeakerEQ_list.dat", "# nothing listed\n$load = \"d.xml\"\n");
    folder.Write("d.xml", "<Speakers/>");
    std::string error;
    EXPECT_FALSE(LoadSpeakerEqLibrary(folder.Path()));
    EXPECT_NE(SpeakerEqLibraryError().find("no preset"), std::string::npos) << SpeakerEqLibraryError();
    ExpectOnlyFlatFallback();
}

TEST(SpeakerEqLibrary, FailedLoadLeavesExactlyTheFlatPreset)
{
    EXPECT_FALSE(LoadSpeakerEqLibrary(kFixtures / "bad_band_index"));
    EXPECT_FALSE(SpeakerEqLibraryError().empty());
    ExpectOnlyFlatFallback();
}

TEST(SpeakerEqLibrary, SuccessfulLoadDesignsTheBandSections)
{
    ASSERT_TRUE(LoadSpeakerEqLibrary(kFixtures / "library")) << SpeakerEqLibraryError();
    EXPECT_TRUE(SpeakerEqLibraryError().empty());
    const SpeakerEqPreset& sub = FindSpeakerEqPreset(u"Sub");
    ASSERT_EQ(sub.name, u"Sub");
    BiquadCoefficients expected;
    DesignBiquad(1, 50.0f, sub.bands[0].q, 4.0f, 0.0f, expected);
    EXPECT_EQ(sub.bandSections[0].a1, static_cast<float>(expected.a1));
    EXPECT_EQ(sub.bandSections[0].b0, static_cast<float>(expected.b0));
    EXPECT_EQ(sub.bandSections[0].c2, static_cast<float>(expected.c2));
    EXPECT_NE(sub.bandSections[1], speaker_eq::SpeakerEqSection{});
    EXPECT_EQ(sub.bandSections[2], speaker_eq::SpeakerEqSection{});  // bypassed band
    for (const auto& section : sub.furtherSections) {
        EXPECT_EQ(section, speaker_eq::SpeakerEqSection{});
    }
}

TEST(SpeakerEqLibrary, LookupMatchesWholeNamesCaseSensitively)
{
    ASSERT_TRUE(LoadSpeakerEqLibrary(kFixtures / "library"));
    EXPECT_EQ(FindSpeakerEqPreset(u"Top B").name, u"Top B");
    // Another letter case, a prefix and an unknown name all fall back to the first preset.
    EXPECT_EQ(FindSpeakerEqPreset(u"top b").name, u"Flat");
    EXPECT_EQ(FindSpeakerEqPreset(u"Top").name, u"Flat");
    EXPECT_EQ(FindSpeakerEqPreset(u"Gone").name, u"Flat");
    EXPECT_EQ(&FindSpeakerEqPreset(u"Gone"), &SpeakerEqPresets().front());
}

TEST(SpeakerEqLibrary, ShippedLibraryLoadsWithFlatFirstAndTrulyFlat)
{
    std::vector<SpeakerEqPreset> store;
    std::string error;
    ASSERT_TRUE(speaker_eq::LoadSpeakerEQList(store, kShipped, &error)) << error;
    ASSERT_FALSE(store.empty());
    const SpeakerEqPreset& flat = store.front();
    EXPECT_EQ(flat.name, u"Flat");
    EXPECT_EQ(flat.highPassType, 0u);
    EXPECT_EQ(flat.lowPassType, 0u);
    EXPECT_EQ(flat.eqGain, 0.0f);
    EXPECT_EQ(flat.limiterFlag, 0);
    for (const auto& band : flat.bands) {
        EXPECT_EQ(band.type, 0u);
    }
    ASSERT_TRUE(LoadSpeakerEqLibrary(kShipped));
    for (const auto& section : FindSpeakerEqPreset(u"Flat").bandSections) {
        EXPECT_EQ(section, speaker_eq::SpeakerEqSection{});
    }
}

// Besides Flat, one preset per speaker class, each named once and each protecting its
// speaker with a high-pass and limiter values.
TEST(SpeakerEqLibrary, ShippedLibraryOffersSpeakerPresetsBesideFlat)
{
    ASSERT_TRUE(LoadSpeakerEqLibrary(kShipped)) << SpeakerEqLibraryError();
    const std::vector<SpeakerEqPreset>& store = SpeakerEqPresets();
    EXPECT_EQ(store.size(), 10u);
    std::set<std::u16string> names;
    for (const SpeakerEqPreset& preset : store) {
        EXPECT_TRUE(names.insert(preset.name).second) << "repeated preset name";
        if (&preset != &store.front()) {
            EXPECT_NE(preset.highPassType, 0u);
            EXPECT_EQ(preset.limiterFlag, 1);
            EXPECT_FALSE(preset.description.empty());
        }
    }
}
