// Picks the device class of a connected amplifier by its USB ids.
#ifndef QUARRY_MODELS_DEVICE_MODEL_FACTORY_H
#define QUARRY_MODELS_DEVICE_MODEL_FACTORY_H

#include <cstdint>
#include <memory>
#include <string>

#include "device_library/src/models/CDeviceBase.h"

namespace QuarryDriver {

// CDeviceA210 or CDeviceA200 for the maker's vendor id with product 0xA210 or 0xA200; null for
// any other pair. The device's transport finds its node through `locator` for each job.
std::unique_ptr<CDeviceBase> CreateDeviceModel(std::uint16_t vendorId, std::uint16_t productId,
                                               DeviceLocator locator,
                                               const ProtocolTiming& timing = ProtocolTiming{});

}  // namespace QuarryDriver

#endif
