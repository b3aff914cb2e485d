// Bounded texts of scanned entries and their scan records.
#include "device_library/src/registry/ScannedEntry.h"

#include <cstring>

#include "device_library/include/QuarryDeviceDriver.h"
#include "platform/hid/HidTypes.h"

namespace QuarryDriver {

namespace {

std::string CutAtNul(const std::string& text, std::size_t maxChars)
{
    const std::size_t nul = text.find('\0');
    const std::size_t length = nul == std::string::npos ? text.size() : nul;
    return text.substr(0, length < maxChars ? length : maxChars);
}

template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text)
{
    static_assert(N > 0);
    std::memset(field, 0, N);
    const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
    std::memcpy(field, text.data(), length);
}

}  // namespace

std::string BoundedSerial(const std::string& serial)
{
    return CutAtNul(serial, platform::hid::kMaxSerialChars);
}

std::string BoundedName(const char* name)
{
    if (name == nullptr) {
        return {};
    }
    return std::string(name, ::strnlen(name, kMaxDeviceNameChars));
}

void FillScanRecord(const ScannedEntry& entry, QdmScanRecord& record)
{
    static_assert(sizeof(record.deviceName) == kMaxDeviceNameChars + 1);
    static_assert(sizeof(record.serial) == platform::hid::kMaxSerialChars + 1);
    std::memset(&record, 0, sizeof record);
    CopyText(record.deviceName, entry.name);
    record.vendorId = entry.vendorId;
    record.productId = entry.productId;
    CopyText(record.serial, entry.serial);
}

}  // namespace QuarryDriver
