// The step lists of the two firmware upgrades. Erase markers go first so that an upgrade cut
// short leaves the amplifier in its boot loader; the version text block is restored last.
#ifndef QUARRY_MODELS_FIRMWARE_PLANS_H
#define QUARRY_MODELS_FIRMWARE_PLANS_H

#include "device_library/src/models/FirmwareImage.h"
#include "device_library/src/models/WritePlan.h"

namespace QuarryDriver {

WritePlan PlanFirmwareA200(const FirmwareImage& image);
WritePlan PlanFirmwareA210(const FirmwareImage& image);

}  // namespace QuarryDriver

#endif
