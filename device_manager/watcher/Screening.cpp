// Screening of arrived HID interfaces.
#include "device_manager/watcher/Screening.h"

#include "QuarryVendorId.h"
#include "device_manager/watcher/DeviceWatcher.h"
#include "platform/devices/DeviceEvents.h"

namespace CobaltDeviceManager {

void Screening::OnDeviceArrival(const std::string& path)
{
    const auto ids = platform::devices::ReadHidIds(path);
    if (!ids || ids->vendorId != QUARRY_MAKER_VENDOR_ID || ids->productId != QUARRY_PRODUCT_ID_A210) {
        return;
    }
    m_accepted.insert(FoldToLower(path));
    if (m_manager != nullptr) {
        m_manager->RefreshAmplifierList();
    }
}

void Screening::OnDeviceRemoval(const std::string& path)
{
    if (m_accepted.erase(FoldToLower(path)) == 0) {
        return;
    }
    if (m_manager != nullptr) {
        m_manager->RefreshAmplifierList();
    }
}

bool CreateScreening(IDeviceWatcherNotify** out, IAmplifierListRefresh* manager)
{
    if (out == nullptr) {
        return false;
    }
    auto* screening = CreateRCObject<RCObject2<Screening>>(manager);
    if (screening == nullptr) {
        return false;
    }
    *out = screening;
    return true;
}

}  // namespace CobaltDeviceManager
