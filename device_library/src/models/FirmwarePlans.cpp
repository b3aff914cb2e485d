// Firmware upgrade step lists of both models.
#include "device_library/src/models/FirmwarePlans.h"

#include <algorithm>

namespace QuarryDriver {

namespace {

namespace mm = memory_map;

std::vector<std::uint8_t> ToVector(const MarkerBlock& block) {
    return std::vector<std::uint8_t>(block.begin(), block.end());
}

void AddEraseMarker(WritePlan& plan, std::uint32_t address) {
    plan.AddWrite(kStepFlashWrite, address, ToVector(FirmwareImage::EraseMarker()), 0);
}

void AddRestore(WritePlan& plan, const FirmwareImage& image, std::uint32_t address, std::uint32_t lastSegment) {
    plan.AddWrite(kStepFlashWrite, address, ToVector(image.RestoreBlock(address)), lastSegment);
}

void AddMcuProgram(WritePlan& plan, const FirmwareImage& image) {
    plan.AddWrite(kStepMcuWrite, mm::kMcuProgramAddress, image.McuProgram(), 0);
}

}  // namespace

WritePlan PlanFirmwareA200(const FirmwareImage& image) {
    WritePlan plan;
    AddEraseMarker(plan, mm::kTextBlock1Address);
    AddEraseMarker(plan, mm::kTextBlock2Address);
    // The application image goes out twice in a row, from one buffer.
    const std::size_t application = plan.AddBuffer(
        image.Region(mm::kApplicationImageFileOffset, mm::kApplicationImageSize));
    plan.AddWrite(kStepFlashWrite, mm::kApplicationImageAddress, application, 0);
    plan.AddWrite(kStepFlashWrite, mm::kApplicationImageAddress, application, 0);
    AddRestore(plan, image, mm::kTextBlock2Address, 0);
    AddEraseMarker(plan, mm::kTextBlock3Address);
    AddMcuProgram(plan, image);
    AddRestore(plan, image, mm::kTextBlock3Address, 0);
    AddRestore(plan, image, mm::kTextBlock1Address, 1);
    return plan;
}

WritePlan PlanFirmwareA210(const FirmwareImage& image) {
    namespace a210 = a210_map;
    WritePlan plan;
    AddEraseMarker(plan, mm::kTextBlock1Address);
    AddEraseMarker(plan, mm::kTextBlock2Address);
    plan.AddWrite(kStepFlashWrite, mm::kApplicationImageAddress,
                  image.Region(mm::kApplicationImageFileOffset, mm::kApplicationImageSize), 0);
    AddRestore(plan, image, mm::kTextBlock2Address, 0);
    AddEraseMarker(plan, mm::kTextBlock4Address);
    plan.AddWrite(kStepFlashWrite, a210::kSecondImageAddress,
                  image.Region(a210::kSecondImageFileOffset, a210::kSecondImageSize), 0);
    AddRestore(plan, image, mm::kTextBlock4Address, 0);
    AddEraseMarker(plan, mm::kTextBlock3Address);
    AddMcuProgram(plan, image);
    plan.AddWrite(kStepFlashWrite, a210::kBlock3E000Address,
                  image.Region(a210::kBlock3E000Address, a210::kBlock3E000Size), 1);
    AddRestore(plan, image, mm::kTextBlock3Address, 0);
    AddRestore(plan, image, mm::kTextBlock1Address, 1);
    const std::size_t settings = plan.AddBuffer(
        image.Region(a210::kGlobalSettingFileOffset, a210::kGlobalSettingBlockSize));
    plan.AddWrite(kStepFlashWrite, a210::kGlobalSettingAddress, settings, 0);
    plan.AddWrite(kStepFlashWrite, a210::kGlobalSettingCopyAddress, settings, 0);
    plan.AddWrite(kStepFlashWrite, a210::kDefaultCopyBase, image.Region(a210::kDefaultsFileOffset, a210::kDefaultsSize),
                  0);
    for (unsigned bank = 0; bank < a210::kChannelCount; ++bank) {
        for (unsigned item = 0; item < a210::kItemCount; ++item) {
            plan.AddWrite(kStepFlashWrite, a210::BankItemAddress(bank, item),
                          image.Region(a210::DefaultFileOffset(bank, item), a210::kParamItems[item].size), 0);
        }
    }
    return plan;
}

}  // namespace QuarryDriver
