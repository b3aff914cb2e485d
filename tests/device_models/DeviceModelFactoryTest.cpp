// The device class is chosen by the USB id pair.
#include <gtest/gtest.h>

#include "device_library/include/QuarryVendorId.h"
#include "device_library/src/models/CDeviceA200.h"
#include "device_library/src/models/CDeviceA210.h"
#include "device_library/src/models/DeviceModelFactory.h"

namespace QuarryDriver {
namespace {

TEST(DeviceModelFactory, ProductIdPicksTheModelAndOtherPairsGetNone) {
    const auto a210 = CreateDeviceModel(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210, DeviceLocator("/nonexistent/a210"));
    ASSERT_NE(a210, nullptr);
    EXPECT_NE(dynamic_cast<CDeviceA210*>(a210.get()), nullptr);
    EXPECT_EQ(a210->DevicePath(), "/nonexistent/a210");
    const auto a200 = CreateDeviceModel(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A200, DeviceLocator("/nonexistent/a200"));
    ASSERT_NE(a200, nullptr);
    EXPECT_NE(dynamic_cast<CDeviceA200*>(a200.get()), nullptr);
    EXPECT_EQ(CreateDeviceModel(QUARRY_MAKER_VENDOR_ID, 0xA211, DeviceLocator("/nonexistent/x")), nullptr);
    EXPECT_EQ(CreateDeviceModel(0x1234, QUARRY_PRODUCT_ID_A210, DeviceLocator("/nonexistent/x")), nullptr);
}

TEST(DeviceModelFactory, ANewDeviceHasNoJobAndCanBeReleased) {
    const auto device = CreateDeviceModel(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210, DeviceLocator("/nonexistent/a210"));
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->IsCompleted(), 1);
    EXPECT_EQ(device->IsSuccessful(), 0);
    EXPECT_EQ(device->Progress(), 0);
    EXPECT_EQ(device->Cancel(), 0);
    EXPECT_EQ(device->IsPresent(), 0);
    BasicInfo info{};
    device->CopyBasicInfo(&info);
    EXPECT_EQ(info.modelCode, 0);
    EXPECT_EQ(info.flagWord, 0u);
}

}  // namespace
}  // namespace QuarryDriver
