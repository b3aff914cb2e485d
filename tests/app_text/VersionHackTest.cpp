// The version-alias file: its line syntax and the program-wide table.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/base/ProgramFolders.h"
#include "application/text/VersionHack.h"
#include "tests/app_text/GermanLocale.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr FirmwareVersion V(std::uint32_t major, std::uint32_t minor) { return FirmwareVersion{major, minor}; }

using Alias = std::pair<FirmwareVersion, FirmwareVersion>;

std::optional<Alias> Line(std::string_view text) { return ParseVersionHackLine(text); }

// A file in a private temporary folder, removed at the end.
class AliasFile {
 public:
  explicit AliasFile(const std::string& content) { WriteWholeFile(Path(), content); }
  std::filesystem::path Path() const { return folder_.Path() / "VersionHack.txt"; }

 private:
  TempFolder folder_{"quarry-alias-"};
};

class VersionHackTable : public ::testing::Test {
 protected:
  void TearDown() override { ClearVersionHack(); }
};

TEST(VersionHackLine, AliasWithAndWithoutSpaces) {
  EXPECT_EQ(Line("V5.1 => V5.12"), Alias(V(5, 1), V(5, 12)));
  EXPECT_EQ(Line("V5.1=>V5.12"), Alias(V(5, 1), V(5, 12)));
  EXPECT_EQ(Line("\t v5.1\t=>\tv5.12 trailing words"), Alias(V(5, 1), V(5, 12)));
  EXPECT_EQ(Line("V5.1 => V5.12#comment"), Alias(V(5, 1), V(5, 12)));
}

TEST(VersionHackLine, CommentsAndEmptyLines) {
  EXPECT_FALSE(Line(""));
  EXPECT_FALSE(Line("   \t "));
  EXPECT_FALSE(Line("# V5.1 => V5.12"));
  EXPECT_FALSE(Line("   #V5.1 => V5.12"));
}

TEST(VersionHackLine, MalformedLinesAreIgnored) {
  EXPECT_FALSE(Line("V5.1 =>> V5.12"));
  EXPECT_FALSE(Line("V5.1 => "));
  EXPECT_FALSE(Line("V5.1 =>"));
  EXPECT_FALSE(Line("V5.1 -> V5.12"));
  EXPECT_FALSE(Line("V5 => V5.12"));
  EXPECT_FALSE(Line("V5.1 => 5.12"));
  EXPECT_FALSE(Line("5.1 => V5.12"));
  EXPECT_FALSE(Line("V5_1 => V5.12"));
  EXPECT_FALSE(Line("V.1 => V5.12"));
  EXPECT_FALSE(Line("V5. => V5.12"));
  EXPECT_FALSE(Line("V5.1 = > V5.12"));
  EXPECT_FALSE(Line("x V5.1 => V5.12"));
}

TEST(VersionHackLine, NumbersBeyond32BitsAreRejected) {
  EXPECT_EQ(Line("V4294967295.0 => V5.12"), Alias(V(4294967295u, 0), V(5, 12)));
  EXPECT_FALSE(Line("V4294967296.0 => V5.12"));
  EXPECT_FALSE(Line("V5.1 => V5.99999999999"));
}

TEST_F(VersionHackTable, LastLineWinsAndCommentsAreSkipped) {
  AliasFile file(
      "# aliases\n"
      "V5.1 => V5.12\n"
      "  # V5.3 => V5.20\n"
      "\n"
      "V5.1 => V5.14\r\n"
      "garbage line\n"
      "v4.9 => v5.2");
  EXPECT_TRUE(LoadVersionHackFile(file.Path()));
  auto entries = VersionHackEntries();
  EXPECT_EQ(entries.size(), 2u);
  FirmwareVersion version = V(5, 1);
  EXPECT_TRUE(LookupVersionHack(version));
  EXPECT_EQ(version, V(5, 14));
  version = V(4, 9);
  EXPECT_TRUE(LookupVersionHack(version));
  EXPECT_EQ(version, V(5, 2));
  version = V(5, 3);
  EXPECT_FALSE(LookupVersionHack(version));
  EXPECT_EQ(version, V(5, 3));
}

TEST_F(VersionHackTable, AliasMakesAVersionCompareAsItsTarget) {
  AliasFile file("V5.1 => V5.12\n");
  ASSERT_TRUE(LoadVersionHackFile(file.Path()));
  FirmwareVersion version = V(5, 1);
  EXPECT_LT(version, kMinimumTransferVersion);
  LookupVersionHack(version);
  EXPECT_GE(version, kMinimumTransferVersion);
}

TEST_F(VersionHackTable, LookupIsExactAndOneStep) {
  AliasFile file("V5.1 => V5.2\nV5.2 => V5.3\n");
  ASSERT_TRUE(LoadVersionHackFile(file.Path()));
  FirmwareVersion version = V(5, 1);
  EXPECT_TRUE(LookupVersionHack(version));
  EXPECT_EQ(version, V(5, 2));
  version = V(5, 10);
  EXPECT_FALSE(LookupVersionHack(version));
  EXPECT_EQ(version, V(5, 10));
}

TEST_F(VersionHackTable, MissingFileGivesAnEmptyTable) {
  AliasFile file("V5.1 => V5.12\n");
  ASSERT_TRUE(LoadVersionHackFile(file.Path()));
  EXPECT_FALSE(LoadVersionHackFile(file.Path().parent_path() / "absent.txt"));
  EXPECT_TRUE(VersionHackEntries().empty());
  FirmwareVersion version = V(5, 1);
  EXPECT_FALSE(LookupVersionHack(version));
}

TEST_F(VersionHackTable, ShippedFileHoldsNoAliases) {
  ASSERT_TRUE(std::filesystem::exists(GetDataFolder() / "VersionHack.txt"));
  EXPECT_TRUE(LoadVersionHack());
  EXPECT_TRUE(VersionHackEntries().empty());
}

TEST_F(VersionHackTable, SameResultsUnderAGermanLocale) {
  std::string problem = testing_support::UseGermanLocale();
  ASSERT_EQ(problem, "") << problem;
  AliasFile file("V5.1 => V5.12\nV5,3 => V5.20\n");
  EXPECT_TRUE(LoadVersionHackFile(file.Path()));
  EXPECT_EQ(VersionHackEntries().size(), 1u);
  FirmwareVersion version = V(5, 1);
  EXPECT_TRUE(LookupVersionHack(version));
  EXPECT_EQ(version, V(5, 12));
  testing_support::RestoreClassicLocale();
}

} // namespace
