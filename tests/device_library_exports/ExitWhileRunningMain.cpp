// A caller that leaves while its operation still runs: connects to the amplifier named on the
// command line, starts a whole-flash read and returns from main at once. The library must cancel
// and join its workers at exit without touching anything already destroyed.
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "QuarryDeviceDriver.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SERIAL\n", argv[0]);
        return 2;
    }
    QDM_RegisterDevice("Cobalt", QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210);
    QDM_ScanDevices();
    if (QDM_ConnectDevice(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210, argv[1]) != 1) {
        return 3;
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (QDM_IsConnectCompleted() == 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    QdmDevice* device = QDM_GetConnectingDevice();
    if (device == nullptr) {
        return 4;
    }
    // Held for the whole run: the buffer must outlive the operation, the caller's only duty.
    static auto* flash = new std::vector<unsigned char>(0x80000);
    if (QDO_ReadFlash(device, 0, static_cast<uint32_t>(flash->size()), flash->data()) != 1) {
        return 5;
    }
    while (QDO_GetOperationProgress(device) == 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return QDO_IsOperationCompleted(device) == 0 ? 0 : 6;
}
