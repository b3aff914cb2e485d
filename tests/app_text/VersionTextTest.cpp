// Firmware version texts and their order.
#include <gtest/gtest.h>

#include "platform/base/VersionText.h"
#include "tests/app_text/GermanLocale.h"

namespace {

constexpr FirmwareVersion V(std::uint32_t major, std::uint32_t minor) { return FirmwareVersion{major, minor}; }

TEST(ParseVersionPair, AcceptedSpellings) {
  EXPECT_EQ(ParseVersionPair("V5.12"), V(5, 12));
  EXPECT_EQ(ParseVersionPair("v5_12"), V(5, 12));
  EXPECT_EQ(ParseVersionPair("5.12"), V(5, 12));
  EXPECT_EQ(ParseVersionPair("Ver5..12"), V(5, 12));
  EXPECT_EQ(ParseVersionPair("V5._12"), V(5, 12));
  EXPECT_EQ(ParseVersionPair("V05.02"), V(5, 2));
  EXPECT_EQ(ParseVersionPair(u"V6.1"), V(6, 1));
}

TEST(ParseVersionPair, MalformedTextsGiveZero) {
  EXPECT_EQ(ParseVersionPair("V5"), V(0, 0));
  EXPECT_EQ(ParseVersionPair("V5.12.1"), V(0, 0));
  EXPECT_EQ(ParseVersionPair("V5.1a"), V(0, 0));
  EXPECT_EQ(ParseVersionPair(""), V(0, 0));
  EXPECT_EQ(ParseVersionPair("V"), V(0, 0));
  EXPECT_EQ(ParseVersionPair("V5.12 "), V(0, 0));
  EXPECT_EQ(ParseVersionPair(" V5.12"), V(0, 0));
  EXPECT_EQ(ParseVersionPair("V-5.12"), V(0, 0));
  EXPECT_EQ(ParseVersionPair("V5,12"), V(0, 0));
  EXPECT_EQ(ParseVersionPair("V\u00b95.12"), V(0, 0));
}

TEST(ParseVersionPair, NumbersBeyond32BitsAreRejected) {
  EXPECT_EQ(ParseVersionPair("V4294967295.1"), V(4294967295u, 1));
  EXPECT_EQ(ParseVersionPair("V4294967296.1"), V(0, 0));
  EXPECT_EQ(ParseVersionPair("V1.99999999999999999999"), V(0, 0));
}

TEST(FirmwareVersion, OrderIsMajorThenMinorAsNumbers) {
  EXPECT_LT(ParseVersionPair("V5.2"), ParseVersionPair("V5.12"));
  EXPECT_LT(ParseVersionPair("V5.12"), ParseVersionPair("V5.20"));
  EXPECT_LT(ParseVersionPair("V5.20"), ParseVersionPair("V6.0"));
  EXPECT_LT(ParseVersionPair("V3.99"), ParseVersionPair("V4.0"));
  EXPECT_EQ(ParseVersionPair("V5.20"), kMinimumSaveConfigVersion);
  EXPECT_EQ(ParseVersionPair("v5_12"), kMinimumTransferVersion);
  EXPECT_EQ(ParseVersionPair("V5.2"), kMinimumOnlineVersion);
  EXPECT_LT(kMinimumOnlineVersion, kMinimumTransferVersion);
  EXPECT_LT(kMinimumTransferVersion, kMinimumSaveConfigVersion);
  EXPECT_FALSE(V(0, 0).IsValid());
  EXPECT_TRUE(V(0, 1).IsValid());
}

TEST(ParseVersionPair, SameResultsUnderAGermanLocale) {
  std::string problem = testing_support::UseGermanLocale();
  ASSERT_EQ(problem, "") << problem;
  EXPECT_EQ(ParseVersionPair("V5.12"), V(5, 12));
  EXPECT_EQ(ParseVersionPair("V5,12"), V(0, 0));
  EXPECT_EQ(ParseVersionPair("Vers\u00e4o5.2"), V(0, 0));
  testing_support::RestoreClassicLocale();
}

} // namespace
