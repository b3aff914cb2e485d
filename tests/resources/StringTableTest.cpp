// The string table: ids, texts kept verbatim, and formats that match what callers pass.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "resources/strings/StringFormat.h"
#include "resources/strings/StringIds.h"
#include "resources/strings/StringTable.h"

namespace {

// A sample argument of each kind; formatting with them must consume every conversion.
std::string FormatWithSampleArgs(const StringEntry& entry) {
  std::vector<FormatArg> args;
  for (char kind : entry.argKinds) {
    switch (kind) {
      case 'i': args.emplace_back(-7); break;
      case 'u': args.emplace_back(7u); break;
      case 'f': args.emplace_back(2.5); break;
      case 's': args.emplace_back("text"); break;
      case 'c': args.emplace_back('x'); break;
      default: ADD_FAILURE() << "unknown kind letter in entry " << entry.id; break;
    }
  }
  return FormatStringArgs(entry.text, args);
}

TEST(StringTable, IdsAreSortedAndUnique) {
  auto entries = StringTableEntries();
  ASSERT_FALSE(entries.empty());
  for (std::size_t i = 1; i < entries.size(); ++i) {
    EXPECT_LT(entries[i - 1].id, entries[i].id) << "at index " << i;
  }
}

TEST(StringTable, EveryFormatTakesTheRecordedArgumentKinds) {
  for (const StringEntry& entry : StringTableEntries()) {
    EXPECT_EQ(FormatConversionKinds(entry.text), entry.argKinds) << "entry " << entry.id;
  }
}

TEST(StringTable, FormattingWithRecordedKindsLeavesNoConversionBehind) {
  for (const StringEntry& entry : StringTableEntries()) {
    std::string text = FormatWithSampleArgs(entry);
    EXPECT_EQ(text.find('%'), std::string::npos) << "entry " << entry.id << ": " << text;
    if (entry.argKinds.empty()) {
      EXPECT_EQ(text, entry.text) << "entry " << entry.id;
    }
  }
}

TEST(StringTable, EveryIdFindsItsOwnEntry) {
  for (const StringEntry& entry : StringTableEntries()) {
    const StringEntry* found = FindStringEntry(entry.id);
    ASSERT_NE(found, nullptr) << entry.id;
    EXPECT_EQ(found, &entry);
    EXPECT_EQ(LoadStringId(entry.id), entry.text);
  }
}

TEST(StringTable, UnknownIdGivesEmptyText) {
  EXPECT_EQ(FindStringEntry(0), nullptr);
  EXPECT_EQ(LoadStringId(0), "");
  EXPECT_EQ(LoadStringId(129), "");
  EXPECT_EQ(LoadStringId(0xFFFFFFFFu), "");
  EXPECT_EQ(FormatStringId(129, 1, 2), "");
}

TEST(StringTable, TextsAreKeptVerbatimTyposIncluded) {
  EXPECT_EQ(LoadStringId(StringId::kParamChangeFailed), "An error occurred in changing a parameter.");
  EXPECT_EQ(LoadStringId(StringId::kMuteToggleFailed), "An error occured for some reason while toggling system mute.");
  EXPECT_EQ(LoadStringId(StringId::kControllersInitFailed),
            "Internal error!\n\nAn error occurred in intializing module controls.\n"
            "It may not work correctly, even if it looks good.");
  EXPECT_EQ(LoadStringId(StringId::kConfigSwitchNotSoftware),
            "CONFIG setting of DIP swtiches in the rear panel is not in SOFTWARE mode.\n"
            "Do you want to upload parameters to amp anyway?\n\n"
            "[YES] : Parameters are uploaded but it will not take effect until the CONFIG setting is set to SOFTWARE.\n"
            "[NO]  : Cancel to upload parameters.");
  EXPECT_EQ(LoadStringId(StringId::kConfigSwitchRear),
            "CONFIG DIP switch is set to \"REAR\" \n\nChange the CONFIG DIP switch to \"Software\" in order to use "
            "Corvantine Editor.");
  EXPECT_EQ(LoadStringId(StringId::kFirmwareIncompatible), "Firmware version is not compatible. \n\nPlease upgrade firmware.");
  EXPECT_EQ(LoadStringId(StringId::kFirmwareUpdateFailed), "Failed to update firmware. ");
  EXPECT_EQ(LoadStringId(StringId::kConvertToMV440),
            "Current design for MV340A needs to be converted into MV440/MV440A before you can upload the design.\n\n"
            "Do you want to convert it now?\n");
  EXPECT_EQ(LoadStringId(StringId::kViewLayoutFileName), "ViewEnvironment.txt");
}

TEST(StringTable, EveryMessageTheProgramShowsIsPresent) {
  const std::uint32_t ids[] = {130, 131, 132, 134, 135, 136, 137, 138, 139, 141, 143, 145, 146, 147, 148,
                               149, 150, 151, 152, 153, 154, 155, 156, 157, 162, 163, 164, 166, 168, 170,
                               171, 173, 174, 175, 176, 177, 178, 179, 180, 181, 182, 183, 184, 185, 16397};
  for (std::uint32_t id : ids) {
    const StringEntry* entry = FindStringEntry(id);
    ASSERT_NE(entry, nullptr) << id;
    EXPECT_FALSE(entry->text.empty()) << id;
  }
}

TEST(StringTable, FilterTypeNamesFollowTheCodeRule) {
  const char* const names[] = {"Flat",       "Butterworth 6",  "Butterworth 12", "Butterworth 18",
                               "Butterworth 24", "Butterworth 36", "Butterworth 48", "Bessel 12",
                               "Bessel 18",  "Bessel 24",      "Bessel 36",      "Bessel 48",
                               "Linkwitz-Riley 12", "Linkwitz-Riley 24", "Linkwitz-Riley 36",
                               "Linkwitz-Riley 48"};
  for (std::uint32_t code = 0; code < std::size(names); ++code) {
    EXPECT_EQ(LoadStringId(StringId::kFilterTypeBase + code), names[code]) << "code " << code;
  }
  EXPECT_EQ(StringId::kFilterTypeBase + std::size(names) - 1, StringId::kFilterTypeLast);
}

TEST(StringTable, PanelTextsAndUnits) {
  EXPECT_EQ(LoadStringId(StringId::kDelayUnitMsec), "msec");
  EXPECT_EQ(LoadStringId(StringId::kDelayUnitMeter), "meter");
  EXPECT_EQ(LoadStringId(StringId::kDelayUnitFeet), "feet");
  EXPECT_EQ(LoadStringId(StringId::kWidthAsQ), "Q");
  EXPECT_EQ(LoadStringId(StringId::kWidthAsBandwidth), "BW");
  EXPECT_EQ(LoadStringId(StringId::kFlatPreset), "Flat");
  EXPECT_EQ(LoadStringId(StringId::kBypass), "Bypass");
  EXPECT_EQ(LoadStringId(StringId::kGraphTitle), "Graph Title");
  EXPECT_EQ(LoadStringId(StringId::kFrequencyResponse), "Frequency Response");
}

TEST(StringTable, DocumentTemplateFields) {
  EXPECT_EQ(DocTemplateString(DocTemplateField::WindowTitle), "Corvantine Editor");
  EXPECT_EQ(DocTemplateString(DocTemplateField::DocName), "");
  EXPECT_EQ(DocTemplateString(DocTemplateField::FileNewName), "");
  EXPECT_EQ(DocTemplateString(DocTemplateField::FilterName), "Corvantine Editor Project file(*.cvp)");
  EXPECT_EQ(DocTemplateString(DocTemplateField::FilterExt), ".cvp");
  EXPECT_EQ(DocTemplateString(DocTemplateField::RegFileTypeId), "Corvantine Editor.Document");
  EXPECT_EQ(DocTemplateString(DocTemplateField::RegFileTypeName), "Corvantine Document");
}

TEST(StringTable, CommandStringsSplitIntoPromptAndToolTip) {
  EXPECT_EQ(CommandToolTipText(StringId::kCommandFileNew), "New");
  EXPECT_EQ(CommandToolTipText(StringId::kCommandFileOpen), "Open");
  EXPECT_EQ(CommandToolTipText(StringId::kCommandFileSave), "Save");
  EXPECT_EQ(CommandToolTipText(StringId::kCommandMuteOutputs), "Mute Outputs");
  EXPECT_EQ(CommandToolTipText(StringId::kCommandSaveConfiguration), "Save Configuration to Amp");
  EXPECT_EQ(CommandPromptText(StringId::kCommandSaveConfiguration), "Save Configuration to Amp");
  EXPECT_EQ(CommandPromptText(StringId::kCommandUploadToAmp), "Upload To Amp");
  EXPECT_EQ(CommandToolTipText(StringId::kCommandUploadToAmp), "");
  EXPECT_EQ(CommandPromptText(StringId::kCommandDelayGoOnline), "Delay GoOnline");
  EXPECT_EQ(LoadStringId(StringId::kPaneParameter), "Parameter");
  EXPECT_EQ(LoadStringId(StringId::kPaneProgress), "Progress");
  EXPECT_EQ(CommandPromptText(1), "");
}

TEST(StringTable, ExtractSubStringCountsParts) {
  EXPECT_EQ(ExtractSubString("a\nb", 0), "a");
  EXPECT_EQ(ExtractSubString("a\nb", 1), "b");
  EXPECT_EQ(ExtractSubString("a\nb", 2), "");
  EXPECT_EQ(ExtractSubString("a\n\nc", 1), "");
  EXPECT_EQ(ExtractSubString("a\n\nc", 2), "c");
  EXPECT_EQ(ExtractSubString("a,b", 1, ','), "b");
  EXPECT_EQ(ExtractSubString("a", -1), "");
}

TEST(StringTable, FormattedMessagesReadAsShown) {
  EXPECT_EQ(FormatStringId(StringId::kFirmwareNeedsUpdate, 5u, 2u, 5u, 12u),
            "Firmware needs to be updated.\n\nCurrent version : v5.02\nLatest version : v5.12");
  EXPECT_EQ(FormatStringId(StringId::kBadNumberFormat, 0, 100), "Bad Format.\n\nChoose a number between 0 and 100");
  EXPECT_EQ(FormatStringId(StringId::kNumberOutOfRange, -18, 18), "Choose a number between -18 and 18");
}

} // namespace
