// One amplifier found by a scan, and how it is handed to callers in a QdmScanRecord.
#ifndef QUARRY_REGISTRY_SCANNED_ENTRY_H
#define QUARRY_REGISTRY_SCANNED_ENTRY_H

#include <cstddef>
#include <cstdint>
#include <string>

struct QdmScanRecord;

namespace QuarryDriver {

// The record's texts end in a terminator, so a name keeps at most 29 characters and a serial
// platform::hid::kMaxSerialChars.
inline constexpr std::size_t kMaxDeviceNameChars = 29;

struct ScannedEntry {
    std::string name;  // the registered name
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string serial;
    std::string path;

    // Scans and connects tell devices apart by ids and serial (exact text); paths may change.
    bool SameDevice(std::uint16_t vendor, std::uint16_t product, const std::string& serialText) const
    {
        return vendorId == vendor && productId == product && serial == serialText;
    }
    bool SameDevice(const ScannedEntry& other) const
    {
        return SameDevice(other.vendorId, other.productId, other.serial);
    }
};

// A device's serial as the library keeps it: up to the first NUL and at most kMaxSerialChars, so
// the scanned entry, the record and a caller's connect key made from the record all agree.
std::string BoundedSerial(const std::string& serial);

// A registered name cut to what the record holds.
std::string BoundedName(const char* name);

// Fills the whole record: texts terminated and zero-filled after the terminator.
void FillScanRecord(const ScannedEntry& entry, QdmScanRecord& record);

}  // namespace QuarryDriver

#endif
