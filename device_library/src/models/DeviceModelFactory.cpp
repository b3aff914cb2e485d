// Device class by USB ids.
#include "device_library/src/models/DeviceModelFactory.h"

#include "device_library/include/QuarryVendorId.h"
#include "device_library/src/models/CDeviceA200.h"
#include "device_library/src/models/CDeviceA210.h"

namespace QuarryDriver {

std::unique_ptr<CDeviceBase> CreateDeviceModel(std::uint16_t vendorId, std::uint16_t productId,
                                               DeviceLocator locator, const ProtocolTiming& timing) {
    if (vendorId != QUARRY_MAKER_VENDOR_ID) {
        return nullptr;
    }
    if (productId == QUARRY_PRODUCT_ID_A210) {
        return std::make_unique<CDeviceA210>(std::move(locator), timing);
    }
    if (productId == QUARRY_PRODUCT_ID_A200) {
        return std::make_unique<CDeviceA200>(std::move(locator), timing);
    }
    return nullptr;
}

}  // namespace QuarryDriver
