// The definition file: which Speaker elements apply, value syntax, band, crossover and
// limiter rules, and the XML the reader refuses.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "dsp_blocks/speaker_eq/SpeakerEqDefinitions.h"
#include "dsp_blocks/speaker_eq/XmlPullReader.h"

using speaker_eq::ApplySpeakerEqDefinitions;
using speaker_eq::SpeakerEqPreset;

namespace {

std::vector<SpeakerEqPreset> Entries(std::initializer_list<std::pair<std::u16string, std::u16string>> names)
{
    std::vector<SpeakerEqPreset> entries;
    for (const auto& [name, eqName] : names) {
        SpeakerEqPreset preset;
        preset.name = name;
        preset.eqName = eqName;
        entries.push_back(std::move(preset));
    }
    return entries;
}

std::string Speaker(const std::string& eqName, const std::string& body)
{
    return "<Speaker><EQName>" + eqName + "</EQName><Description>d</Description>" + body + "</Speaker>";
}

std::string Document(const std::string& speakers)
{
    return "<?xml version=\"1.0\"?>\n<Speakers>" + speakers + "</Speakers>";
}

bool Apply(const std::string& xml, std::vector<SpeakerEqPreset>& entries)
{
    std::string error;
    const bool ok = ApplySpeakerEqDefinitions(xml, entries, error);
    if (!ok) {
        EXPECT_FALSE(error.empty());
    }
    return ok;
}

// One listed speaker "S" with the given body; the entry after the load.
SpeakerEqPreset ApplyOne(const std::string& body, bool expectOk = true)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    EXPECT_EQ(Apply(Document(Speaker("S", body)), entries), expectOk);
    return SpeakerEqPreset(entries[0]);
}

}  // namespace

TEST(SpeakerEqDefinitions, ListedSpeakerFillsItsEntryAndKeepsTheName)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"Sub", u"SUB-12"}});
    ASSERT_TRUE(Apply(Document("<Speaker><EQName>SUB-12</EQName><Description>Deep</Description>"
                               "<PEQ EQGain=\"-2\"/></Speaker>"),
                      entries));
    EXPECT_EQ(entries[0].name, u"Sub");
    EXPECT_EQ(entries[0].eqName, u"SUB-12");
    EXPECT_EQ(entries[0].description, u"Deep");
    EXPECT_EQ(entries[0].eqGain, -2.0f);
}

TEST(SpeakerEqDefinitions, OnlyTheFirstEntryOfASharedEqNameReceivesTheDefinition)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"A", u"K"}, {u"B", u"K"}});
    ASSERT_TRUE(Apply(Document(Speaker("K", "<PEQ EQGain=\"4\"/>")), entries));
    EXPECT_EQ(entries[0].eqGain, 4.0f);
    EXPECT_EQ(entries[1].eqGain, 0.0f);
    EXPECT_EQ(entries[1].description, u"");
}

TEST(SpeakerEqDefinitions, UnlistedSpeakerIsIgnoredEvenWhenItsChildrenFail)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"A", u"A"}});
    EXPECT_TRUE(Apply(Document(Speaker("Other", "<PEQ><Band index=\"10\" type=\"PEQ\"/></PEQ>"
                                                "<Limiter peakThreshold=\"x\"/>")),
                      entries));
    EXPECT_TRUE(Apply(Document("<Speaker><Description>no name</Description><PEQ EQGain=\"bad\"/></Speaker>"),
                      entries));
    EXPECT_EQ(entries[0].description, u"");
}

TEST(SpeakerEqDefinitions, BandIndexOutOfRangeInAListedSpeakerFailsTheLoad)
{
    ApplyOne("<PEQ><Band index=\"10\" type=\"PEQ\" freq=\"100\" gain=\"1\" width=\"1\"/></PEQ>", false);
    ApplyOne("<PEQ><Band index=\"0\" type=\"PEQ\" freq=\"100\" gain=\"1\" width=\"1\"/></PEQ>", false);
    ApplyOne("<PEQ><Band type=\"PEQ\" freq=\"100\" gain=\"1\" width=\"1\"/></PEQ>", false);
}

TEST(SpeakerEqDefinitions, OneOctaveBandwidthGivesQOfSquareRootOfTwo)
{
    const SpeakerEqPreset preset = ApplyOne(
        "<PEQ UsingBandwidth=\"True\"><Band index=\"2\" type=\"PEQ\" freq=\"250\" gain=\"3\" width=\"1\"/></PEQ>");
    EXPECT_NEAR(preset.bands[1].q, 1.4142f, 1e-4f);
    EXPECT_EQ(preset.bands[1].type, 1u);
    EXPECT_EQ(preset.bands[1].frequency, 250.0f);
    EXPECT_EQ(preset.bands[1].gain, 3.0f);
}

TEST(SpeakerEqDefinitions, WidthIsTheQWhenBandwidthIsOff)
{
    const SpeakerEqPreset preset = ApplyOne(
        "<PEQ UsingBandwidth=\"False\"><Band index=\"1\" type=\"PEQ\" freq=\"250\" gain=\"3\" width=\"4.5\"/></PEQ>");
    EXPECT_EQ(preset.usingBandwidth, 0);
    EXPECT_EQ(preset.bands[0].q, 4.5f);
}

TEST(SpeakerEqDefinitions, WidthThatIsNotPositiveFailsTheBand)
{
    for (const char* width : {"0", "-1", "-0.5"}) {
        for (const char* bandwidth : {"True", "False"}) {
            ApplyOne(std::string("<PEQ UsingBandwidth=\"") + bandwidth +
                         "\"><Band index=\"1\" type=\"PEQ\" freq=\"100\" gain=\"1\" width=\"" + width +
                         "\"/></PEQ>",
                     false);
        }
    }
}

TEST(SpeakerEqDefinitions, BandwidthConversionRefusesWidthsWithoutAFiniteQ)
{
    EXPECT_FALSE(speaker_eq::BandwidthToQ(0.0f).has_value());
    EXPECT_FALSE(speaker_eq::BandwidthToQ(-1.0f).has_value());
    EXPECT_FALSE(speaker_eq::BandwidthToQ(std::nanf("")).has_value());
    EXPECT_NEAR(speaker_eq::BandwidthToQ(2.0f).value(), 2.0 / 3.0, 1e-6);
}

TEST(SpeakerEqDefinitions, PeakingBandNeedsFrequencyGainAndWidth)
{
    ApplyOne("<PEQ><Band index=\"1\" type=\"PEQ\" gain=\"1\" width=\"1\"/></PEQ>", false);
    ApplyOne("<PEQ><Band index=\"1\" type=\"PEQ\" freq=\"100\" width=\"1\"/></PEQ>", false);
    ApplyOne("<PEQ><Band index=\"1\" type=\"PEQ\" freq=\"100\" gain=\"1\"/></PEQ>", false);
}

TEST(SpeakerEqDefinitions, ShelvesNeedFrequencyAndGainOnly)
{
    const SpeakerEqPreset preset =
        ApplyOne("<PEQ><Band index=\"3\" type=\"HighShelf\" freq=\"8000\" gain=\"-2\"/>"
                 "<Band index=\"4\" type=\"LowShelf\" freq=\"90\" gain=\"2\"/></PEQ>");
    EXPECT_EQ(preset.bands[2].type, 2u);
    EXPECT_EQ(preset.bands[3].type, 3u);
    EXPECT_EQ(preset.bands[3].q, 1.0f);
    ApplyOne("<PEQ><Band index=\"3\" type=\"HighShelf\" gain=\"-2\"/></PEQ>", false);
}

TEST(SpeakerEqDefinitions, BypassedBandIsFlatButKeepsItsFrequency)
{
    const SpeakerEqPreset preset =
        ApplyOne("<PEQ><Band index=\"5\" type=\"Whatever\" freq=\"640\" gain=\"6\" width=\"3\" bypass=\"True\"/></PEQ>");
    EXPECT_EQ(preset.bands[4].type, 0u);
    EXPECT_EQ(preset.bands[4].gain, 0.0f);
    EXPECT_EQ(preset.bands[4].q, 1.0f);
    EXPECT_EQ(preset.bands[4].frequency, 640.0f);
}

TEST(SpeakerEqDefinitions, UnknownBandTypeFailsUnlessBypassed)
{
    ApplyOne("<PEQ><Band index=\"1\" type=\"Notch\" freq=\"100\" gain=\"1\" width=\"1\"/></PEQ>", false);
    ApplyOne("<PEQ><Band index=\"1\" type=\"peq\" freq=\"100\" gain=\"1\" width=\"1\"/></PEQ>", false);
}

TEST(SpeakerEqDefinitions, BooleansAreTrueOrFalseExactly)
{
    EXPECT_EQ(speaker_eq::ParseXmlBoolean("True"), true);
    EXPECT_EQ(speaker_eq::ParseXmlBoolean("False"), false);
    EXPECT_FALSE(speaker_eq::ParseXmlBoolean("true").has_value());
    EXPECT_FALSE(speaker_eq::ParseXmlBoolean("1").has_value());
    ApplyOne("<PEQ UsingBandwidth=\"yes\"/>", false);
}

TEST(SpeakerEqDefinitions, NumbersAreReadIndependentlyOfTheLocaleAndMustBeFinite)
{
    EXPECT_EQ(speaker_eq::ParseXmlNumber(" -2.5 "), -2.5f);
    EXPECT_EQ(speaker_eq::ParseXmlNumber("+3"), 3.0f);
    EXPECT_EQ(speaker_eq::ParseXmlNumber("1e3"), 1000.0f);
    EXPECT_FALSE(speaker_eq::ParseXmlNumber("2,5").has_value());
    EXPECT_FALSE(speaker_eq::ParseXmlNumber("inf").has_value());
    EXPECT_FALSE(speaker_eq::ParseXmlNumber("nan").has_value());
    EXPECT_FALSE(speaker_eq::ParseXmlNumber("1e40").has_value());
    EXPECT_FALSE(speaker_eq::ParseXmlNumber("").has_value());
    EXPECT_FALSE(speaker_eq::ParseXmlNumber("12dB").has_value());
}

TEST(SpeakerEqDefinitions, CrossoverTypesByFamilyAndSlope)
{
    EXPECT_EQ(speaker_eq::ParseCrossoverType("6 (BW)"), 1u);
    EXPECT_EQ(speaker_eq::ParseCrossoverType("12 (BW)"), 2u);
    EXPECT_EQ(speaker_eq::ParseCrossoverType("18(BW)"), 3u);
    EXPECT_EQ(speaker_eq::ParseCrossoverType(" 24 ( BW ) "), 4u);
    EXPECT_EQ(speaker_eq::ParseCrossoverType("12 (LR)"), 12u);
    EXPECT_EQ(speaker_eq::ParseCrossoverType("24 (LR)"), 13u);
    EXPECT_FALSE(speaker_eq::ParseCrossoverType("18 (LR)").has_value());
    EXPECT_FALSE(speaker_eq::ParseCrossoverType("48 (BW)").has_value());
    EXPECT_FALSE(speaker_eq::ParseCrossoverType("12 (Bessel)").has_value());
    EXPECT_FALSE(speaker_eq::ParseCrossoverType("12 LR").has_value());
    EXPECT_FALSE(speaker_eq::ParseCrossoverType("12 (LR) x").has_value());
}

TEST(SpeakerEqDefinitions, CrossoverFiltersAndBypass)
{
    const SpeakerEqPreset preset = ApplyOne(
        "<Band-pass><HighPass freq=\"80\" filterType=\"24 (LR)\"/>"
        "<LowPass freq=\"2000\" filterType=\"12 (BW)\" bypass=\"True\"/></Band-pass>");
    EXPECT_EQ(preset.highPassType, 13u);
    EXPECT_EQ(preset.highPassFrequency, 80.0f);
    EXPECT_EQ(preset.lowPassType, 0u);
    EXPECT_EQ(preset.lowPassFrequency, 2000.0f);
    ApplyOne("<Band-pass><HighPass freq=\"80\" filterType=\"36 (LR)\"/></Band-pass>", false);
    ApplyOne("<Band-pass><LowPass freq=\"-5\" filterType=\"12 (LR)\"/></Band-pass>", false);
}

TEST(SpeakerEqDefinitions, LimiterWithAllSixValuesSetsTheFlag)
{
    const SpeakerEqPreset preset = ApplyOne(
        "<Limiter peakThreshold=\"90\" peakAttack=\"2\" peakRelease=\"150\" rmsThreshold=\"60\" "
        "rmsAttack=\"1500\" rmsRelease=\"3000\"/>");
    EXPECT_EQ(preset.limiterFlag, 1);
    EXPECT_EQ(preset.limiter.peakThreshold, 90.0f);
    EXPECT_EQ(preset.limiter.rmsRelease, 3000.0f);
}

TEST(SpeakerEqDefinitions, LimiterMissingAValueFailsTheLoad)
{
    ApplyOne("<Limiter peakThreshold=\"90\" peakAttack=\"2\" peakRelease=\"150\" rmsThreshold=\"60\" "
             "rmsAttack=\"1500\"/>",
             false);
    ApplyOne("<Limiter peakThreshold=\"0\" peakAttack=\"2\" peakRelease=\"150\" rmsThreshold=\"60\" "
             "rmsAttack=\"1500\" rmsRelease=\"3000\"/>",
             false);
}

// A preset must hold only what the blocks can take: the crossover offers no 6 dB slope,
// and band, crossover, EQ gain and limiter values stay within the panels' ranges. The
// load fails with a message that names the value.
TEST(SpeakerEqDefinitions, ValuesTheBlocksCannotTakeFailTheLoadNamingTheValue)
{
    const struct {
        const char* body;
        const char* named;
    } refused[] = {
        {"<Band-pass><HighPass freq=\"80\" filterType=\"6 (BW)\"/></Band-pass>", "6 (BW)"},
        {"<Band-pass><LowPass freq=\"1e30\" filterType=\"12 (BW)\"/></Band-pass>", "LowPass freq"},
        {"<Band-pass><HighPass freq=\"10\" filterType=\"12 (BW)\"/></Band-pass>", "HighPass freq"},
        {"<PEQ><Band index=\"2\" type=\"PEQ\" freq=\"100\" gain=\"300\" width=\"1\"/></PEQ>", "gain"},
        {"<PEQ><Band index=\"2\" type=\"PEQ\" freq=\"1e30\" gain=\"3\" width=\"1\"/></PEQ>", "freq"},
        {"<PEQ UsingBandwidth=\"False\"><Band index=\"2\" type=\"PEQ\" freq=\"100\" gain=\"3\" width=\"500\"/></PEQ>",
         "width"},
        {"<PEQ EQGain=\"40\"/>", "EQGain"},
        {"<Limiter peakThreshold=\"900\" peakAttack=\"2\" peakRelease=\"150\" rmsThreshold=\"60\" "
         "rmsAttack=\"1500\" rmsRelease=\"3000\"/>",
         "peakThreshold"},
        {"<Limiter peakThreshold=\"90\" peakAttack=\"2\" peakRelease=\"150\" rmsThreshold=\"60\" "
         "rmsAttack=\"1500\" rmsRelease=\"1e9\"/>",
         "rmsRelease"},
    };
    for (const auto& item : refused) {
        std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
        std::string error;
        EXPECT_FALSE(ApplySpeakerEqDefinitions(Document(Speaker("S", item.body)), entries, error)) << item.body;
        EXPECT_NE(error.find(item.named), std::string::npos) << error;
    }
    const SpeakerEqPreset edges = ApplyOne(
        "<Band-pass><HighPass freq=\"20\" filterType=\"12 (BW)\"/><LowPass freq=\"20000\" "
        "filterType=\"24 (LR)\"/></Band-pass><PEQ EQGain=\"-18\" UsingBandwidth=\"False\">"
        "<Band index=\"1\" type=\"PEQ\" freq=\"20\" gain=\"18\" width=\"0.1\"/></PEQ>");
    EXPECT_EQ(edges.highPassFrequency, 20.0f);
    EXPECT_EQ(edges.bands[0].gain, 18.0f);
}

TEST(SpeakerEqDefinitions, DelayAndIirAndUnknownElementsAreSkipped)
{
    const SpeakerEqPreset preset =
        ApplyOne("<Delay><Anything at=\"all\"/></Delay><IIR taps=\"3\"><c>1</c></IIR><Extra/><PEQ EQGain=\"1\"/>");
    EXPECT_EQ(preset.eqGain, 1.0f);
}

TEST(SpeakerEqDefinitions, ElementNamesCompareWithTheirPrefix)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    ASSERT_TRUE(Apply("<x:Speakers xmlns:x=\"urn:x\"><x:Speaker><x:EQName>S</x:EQName></x:Speaker></x:Speakers>",
                      entries));
    EXPECT_EQ(entries[0].description, u"");
    ASSERT_TRUE(Apply("<Root xmlns:x=\"urn:x\"><Speakers><Speaker><EQName>S</EQName>"
                      "<PEQ x:EQGain=\"5\" EQGain=\"2\"/></Speaker></Speakers></Root>",
                      entries));
    EXPECT_EQ(entries[0].eqGain, 2.0f);
}

TEST(SpeakerEqDefinitions, EqNameWithElementsInsideFailsEvenWhenUnlisted)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    EXPECT_FALSE(Apply(Document("<Speaker><EQName>S<b>x</b></EQName></Speaker>"), entries));
}

TEST(SpeakerEqDefinitions, DocumentTypeDeclarationIsRefused)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    EXPECT_FALSE(Apply("<?xml version=\"1.0\"?><!DOCTYPE Speakers><Speakers/>", entries));
    EXPECT_FALSE(Apply("<!DOCTYPE Speakers SYSTEM \"http://example.invalid/x.dtd\"><Speakers/>", entries));
}

TEST(SpeakerEqDefinitions, BillionLaughsIsRefusedQuickly)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE Speakers [\n<!ENTITY l0 \"lol\">\n";
    for (int i = 1; i < 12; ++i) {
        xml += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) {
            xml += "&l" + std::to_string(i - 1) + ";";
        }
        xml += "\">\n";
    }
    xml += "]>\n<Speakers><Speaker><EQName>S</EQName><Description>&l11;</Description></Speaker></Speakers>";
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Apply(xml, entries));
    // Generous: only an expansion would take anywhere near this long.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(entries[0].description, u"");
}

TEST(SpeakerEqDefinitions, MalformedXmlFailsWithTheReadersMessage)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    std::string error;
    EXPECT_FALSE(ApplySpeakerEqDefinitions("<Speakers><Speaker></Speakers>", entries, error));
    EXPECT_NE(error.find("line"), std::string::npos) << error;
    EXPECT_FALSE(ApplySpeakerEqDefinitions("<Speakers>", entries, error));
    EXPECT_FALSE(ApplySpeakerEqDefinitions("", entries, error));
}

TEST(SpeakerEqDefinitions, OversizedDocumentIsRefusedUnread)
{
    std::string xml = "<Speakers>";
    xml.append(speaker_eq::kMaxXmlBytes, ' ');
    xml += "</Speakers>";
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    std::string error;
    EXPECT_FALSE(ApplySpeakerEqDefinitions(xml, entries, error));
    EXPECT_NE(error.find("larger"), std::string::npos) << error;
}

TEST(SpeakerEqDefinitions, DocumentWithoutSpeakersSucceedsAndChangesNothing)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    EXPECT_TRUE(Apply("<?xml version=\"1.0\"?><!-- nothing --><Other><x/></Other>", entries));
    EXPECT_EQ(entries[0].eqGain, 0.0f);
}

TEST(SpeakerEqDefinitions, DocumentTypeIsRefusedAlsoWhenTheByteScanCannotSeeIt)
{
    const std::string utf8 = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><!DOCTYPE Speakers><Speakers/>";
    std::string utf16 = "\xFF\xFE";
    for (char c : utf8) {
        utf16.push_back(c);
        utf16.push_back('\0');
    }
    speaker_eq::XmlPullReader reader(utf16);
    speaker_eq::XmlNode node = reader.Read();
    while (node != speaker_eq::XmlNode::Error && node != speaker_eq::XmlNode::End) {
        node = reader.Read();
    }
    EXPECT_EQ(node, speaker_eq::XmlNode::Error);
    EXPECT_NE(reader.Error().find("document type"), std::string::npos) << reader.Error();
}

TEST(SpeakerEqDefinitions, PredefinedEntitiesAndCommentsBeforeTheRootAreFine)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    ASSERT_TRUE(Apply("<?xml version=\"1.0\"?>\n<!-- <!DOCTYPE in a comment --><?pi x?>\n<Speakers><Speaker>"
                      "<EQName> S </EQName><Description>R&amp;D &#x41;<![CDATA[<x>]]></Description>"
                      "</Speaker></Speakers>",
                      entries));
    EXPECT_EQ(entries[0].description, u"R&D A<x>");
}

TEST(SpeakerEqDefinitions, UndefinedEntityIsAnError)
{
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    EXPECT_FALSE(Apply(Document(Speaker("S", "<Note>&undefined;</Note>")), entries));
}

// Every message of libxml2 goes through the reader's error handling: nothing reaches standard
// error, and the load's reason tells what was wrong.
TEST(SpeakerEqDefinitions, EncodingErrorsAreTheLoadsReasonAndNeverReachStandardError)
{
    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-7\"?>\n<Speakers>\xFF\xFF\xFE</Speakers>";
    std::vector<SpeakerEqPreset> entries = Entries({{u"S", u"S"}});
    std::string error;
    ::testing::internal::CaptureStderr();
    const bool applied = ApplySpeakerEqDefinitions(xml, entries, error);
    const std::string stderrText = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(applied);
    EXPECT_EQ(stderrText, "");
    EXPECT_NE(error.find("encod"), std::string::npos) << error;
}
