// The generated udev rule names the vendor id and both product ids of QuarryVendorId.h.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "device_library/include/QuarryVendorId.h"

namespace {

std::string Hex4(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

std::string RuleText()
{
    std::ifstream in(QUARRY_UDEV_RULE_FILE);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ExportsUdevRuleTest, EachProductGetsTheSeatUserAccessUnderTheMakersVendorId)
{
    const std::string rule = RuleText();
    ASSERT_FALSE(rule.empty()) << QUARRY_UDEV_RULE_FILE;
    for (unsigned product : {QUARRY_PRODUCT_ID_A210, QUARRY_PRODUCT_ID_A200}) {
        const std::string line = "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"" + Hex4(QUARRY_MAKER_VENDOR_ID) +
                                 "\", ATTRS{idProduct}==\"" + Hex4(product) + "\", TAG+=\"uaccess\"";
        EXPECT_NE(rule.find(line), std::string::npos) << line;
    }
}

}  // namespace
