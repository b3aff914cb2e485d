// Model 0xA210's uploads: DSP parameters to the staging areas, the same items by id, the global
// settings, and commands.
#include <span>

#include "device_library/src/models/CDeviceA210.h"
#include "device_library/src/uploads/GlobalSettingBlock.h"
#include "device_library/src/uploads/ParamUploadPlan.h"

namespace QuarryDriver {

namespace {
std::span<const std::uint8_t, param_image::kImageSize> ImageBytes(const std::uint8_t* image) {
    return std::span<const std::uint8_t, param_image::kImageSize>(image, param_image::kImageSize);
}
}  // namespace

int CDeviceA210::UpgradeDSPParam(const std::uint8_t* image) {
    return image != nullptr ? StartWritePlan([image]() -> std::optional<WritePlan> { return PlanDspParamUpload(ImageBytes(image)); }) : 0;
}

int CDeviceA210::WriteMCUbyID(const std::uint8_t* image) {
    return image != nullptr ? StartWritePlan([image]() -> std::optional<WritePlan> { return PlanWriteByIdUpload(ImageBytes(image)); }) : 0;
}

int CDeviceA210::UpgradeGlobalSetting(const std::uint8_t* input) {
    if (input == nullptr) {
        return 0;
    }
    return StartWritePlan([input]() -> std::optional<WritePlan> {
        return PlanGlobalSettingUpload(std::span<const std::uint8_t, kGlobalSettingInputSize>(input, kGlobalSettingInputSize));
    });
}

int CDeviceA210::SendCommand(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3) {
    return StartJob([&](JobSteps& steps) { steps.Add(kStepCommand, StepArgs::Command(w1, w2, w3)); });
}

}  // namespace QuarryDriver
