/* QuarryDeviceDriver: the USB HID device library of the Quarry amplifiers.
 *
 * The library finds amplifiers by USB vendor and product id, connects to one, and runs one
 * operation at a time on it (information reads, memory reads and writes, parameter and setting
 * uploads, firmware upgrade, command, reset) through the amplifier's 64-byte packet protocol.
 *
 * Two families of plain C functions:
 *   QDM_  device management: register the id pairs to look for, scan, connect, disconnect.
 *   QDO_  device operations on the connected amplifier, and the polls that follow them.
 *
 * Results are 32-bit integers: 1 success, 0 failure or busy, -1 a required pointer argument was
 * null (only where a function says so). Texts are narrow and NUL-terminated. A vendor or product
 * id is passed as a 32-bit value of which only the low 16 bits count.
 *
 * Calling order:
 *   QDM_RegisterDevice once per id pair;
 *   QDM_ScanDevices, then QDM_GetScanedDevice until it returns 0;
 *   QDM_ConnectDevice for one scanned entry, QDM_IsConnectCompleted until 1, then
 *   QDM_GetConnectingDevice (NULL means the connect failed);
 *   any number of operations, each as: start call (1), QDO_IsOperationCompleted until 1 (with
 *   QDO_GetOperationProgress and QDO_CancelOperation as wanted), then QDO_IsOperationSuccessful;
 *   finally QDM_DisconnectDevice.
 *
 * Every QDO_ start call returns at once; the operation runs on a worker thread of the library.
 * The library runs at most one operation at a time, library-wide, and holds at most one
 * connected device. A buffer or record handed to a start call is the caller's: it must stay
 * valid until QDO_IsOperationCompleted has returned 1. Result records are copied into it only
 * when the operation succeeds. Nothing allocated by the library is handed to the caller, and
 * nothing the caller allocated is freed by the library.
 *
 * Every function may be called from any thread. No C++ exception leaves the library.
 *
 * Environment: when QUARRY_VIRTUAL_HID_DIR names a folder, the library talks to the virtual
 * amplifiers whose sockets are in that folder instead of the hidraw devices.
 */
#ifndef QUARRY_DEVICE_DRIVER_H
#define QUARRY_DEVICE_DRIVER_H

#include <stddef.h>
#include <stdint.h>

#include "QuarryRecords.h"
#include "QuarryVendorId.h"

#if defined(__GNUC__)
#define QDM_API __attribute__((visibility("default")))
#else
#define QDM_API
#endif

#ifdef __cplusplus
extern "C" {
#define QUARRY_DRIVER_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QUARRY_DRIVER_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* The connected amplifier, opaque to callers. The library keeps exactly one (or none); callers
 * never free it and give it up only through QDM_DisconnectDevice. A handle that is not the
 * library's connected device (for example one kept after QDM_DisconnectDevice) is treated as
 * NULL by every QDO_ function. */
typedef struct QdmDevice QdmDevice;

/* One scanned amplifier, filled by QDM_GetScanedDevice. Texts are NUL-terminated and the bytes
 * after the terminator are zero. */
typedef struct QdmScanRecord {
    char deviceName[30]; /* the name given to QDM_RegisterDevice for this id pair (at most 29 characters) */
    uint16_t vendorId;   /* little-endian */
    uint16_t productId;  /* little-endian */
    char serial[40];     /* the device's serial-number text (at most 39 characters) */
} QdmScanRecord;

QUARRY_DRIVER_ASSERT(sizeof(QdmScanRecord) == 74, "QdmScanRecord is 74 bytes");
QUARRY_DRIVER_ASSERT(offsetof(QdmScanRecord, vendorId) == 30, "QdmScanRecord layout");
QUARRY_DRIVER_ASSERT(offsetof(QdmScanRecord, productId) == 32, "QdmScanRecord layout");
QUARRY_DRIVER_ASSERT(offsetof(QdmScanRecord, serial) == 34, "QdmScanRecord layout");

/* The records of QuarryRecords.h, checked here too because their sizes are this interface. */
QUARRY_DRIVER_ASSERT(sizeof(BasicInfo) == 92, "BasicInfo is 92 bytes");
QUARRY_DRIVER_ASSERT(sizeof(HwInfoRecord) == 13, "HwInfoRecord is 13 bytes");
QUARRY_DRIVER_ASSERT(sizeof(GlobalSettingRecord) == 2048, "GlobalSettingRecord is 2048 bytes");
QUARRY_DRIVER_ASSERT(sizeof(DspParamInfo) == 5124, "DspParamInfo is 5124 bytes");
QUARRY_DRIVER_ASSERT(sizeof(QdoGlobalSettingInput) == 2050, "global-setting input is 2050 bytes");
QUARRY_DRIVER_ASSERT(sizeof(QdoParamImage) == 9000, "parameter image is 9000 bytes");

/* ---- Device management ------------------------------------------------------------------- */

/** Adds an id pair to look for when scanning, under a device name.
 *  name: the device name copied into scan records; the library keeps its own copy.
 *  Returns 1 when registered or already registered (the first name stays); 0 when name is NULL
 *  or the registry lock is not obtained within 5000 ms. */
QDM_API int32_t QDM_RegisterDevice(const char* name, uint32_t vendorId, uint32_t productId);

/** Removes a registered id pair.
 *  Returns 1 removed; 0 when the pair is not registered or on a lock time-out. */
QDM_API int32_t QDM_UnregisterDevice(uint32_t vendorId, uint32_t productId);

/** Enumerates the present HID devices of every registered id pair and merges them into the
 *  scanned list: entries of devices still present keep their place (and follow a device whose
 *  path changed), entries of vanished devices are removed, new devices are appended in
 *  enumeration order. Rewinds the iterator of QDM_GetScanedDevice.
 *  Returns 1 when the scan was merged; 0 on a lock time-out (the list is unchanged). */
QDM_API int32_t QDM_ScanDevices(void);

/** Hands out the next entry of the scanned list and advances the iterator.
 *  record: caller-owned, filled completely; may be NULL (the entry is consumed, nothing copied).
 *  Returns 1 for an entry; 0 at the end of the list (the iterator then rewinds to the first
 *  entry, so the next call returns it) or on a lock time-out. */
QDM_API int32_t QDM_GetScanedDevice(QdmScanRecord* record);

/** Starts connecting to the scanned entry with these ids and serial (exact text). The connect
 *  runs on a worker: the device object of the model is created and the connection handshake
 *  is run. Poll QDM_IsConnectCompleted, then read QDM_GetConnectingDevice.
 *  serial: read during the call only.
 *  Returns -1 when serial is NULL; 0 when a device is already connected, a connect still runs,
 *  the entry is not in the scanned list, on a lock time-out, or when the worker cannot start;
 *  1 when the connect worker has started. */
QDM_API int32_t QDM_ConnectDevice(uint32_t vendorId, uint32_t productId, const char* serial);

/** Returns 1 when no connect runs (a finished connect worker is joined first); 0 while one runs. */
QDM_API int32_t QDM_IsConnectCompleted(void);

/** Returns the connected device's handle, or NULL when no device is connected (also after a
 *  connect that failed: the device did not answer the handshake, or its id pair is not one of
 *  the two amplifier models). */
QDM_API QdmDevice* QDM_GetConnectingDevice(void);

/** Releases the connected device and closes it.
 *  handle: the caller's handle variable; set to NULL on success, untouched otherwise. Its value
 *  is not compared with the connected device: the one connected device is the one released.
 *  Returns 1 when no operation runs and the device was released (or none was connected);
 *  0 while an operation or the device's last job still runs; -1 when handle is NULL. */
QDM_API int32_t QDM_DisconnectDevice(QdmDevice** handle);

/** Returns 1 when a device with these ids and serial is present and its path opens; 0 when it
 *  is not present or on a lock time-out; -1 when serial is NULL. Independent of the scanned list. */
QDM_API int32_t QDM_IsDeviceExisting(uint32_t vendorId, uint32_t productId, const char* serial);

/* ---- Device operations --------------------------------------------------------------------
 * Every start call: -1 when a required pointer is NULL (nothing started); 0 when the handle is
 * NULL or not the connected device, or another operation runs (nothing started); 1 when the
 * operation has started. A started operation the device refuses (its model lacks it, an
 * argument is out of range, the file cannot be read) completes at once with success 0.
 * Model 0xA200 supports only QDO_UpgradeFirmware, QDO_Reset, QDO_ReadBasicInfo, QDO_ReadMCU and
 * QDO_ReadFlash. */

/** Writes the firmware image file at path to the amplifier (run it in the boot loader).
 *  path: read during the call only. Returns -1 when path is NULL; 0; 1. */
QDM_API int32_t QDO_UpgradeFirmware(QdmDevice* device, const char* path);

/** Uploads the global settings: header bytes 0-1 and the 2048-byte record.
 *  input: caller-owned, read while the operation runs. Returns -1 when input is NULL; 0; 1. */
QDM_API int32_t QDO_UpgradeGlobalSetting(QdmDevice* device, const QdoGlobalSettingInput* input);

/** Uploads every item the image's dirty mask selects to the channel staging areas, then the
 *  change-flag blocks of all four channels.
 *  image: caller-owned, read while the operation runs. Returns -1 when image is NULL; 0; 1. */
QDM_API int32_t QDO_UpgradeDSPParam(QdmDevice* device, const QdoParamImage* image);

/** Writes the items the image's dirty mask selects by memory id (the editor sets one bit).
 *  image: caller-owned, read while the operation runs. Returns -1 when image is NULL; 0; 1. */
QDM_API int32_t QDO_WriteMCUbyID(QdmDevice* device, const QdoParamImage* image);

/** Reads length bytes of memory id `id` (1 meters, 2 ready byte) straight into buffer.
 *  buffer: caller-owned, at least length bytes; written while the operation runs and may hold
 *  part of the data after a failure. A NULL buffer makes the operation fail. Returns 0; 1. */
QDM_API int32_t QDO_ReadMCUbyID(QdmDevice* device, uint32_t id, uint32_t length, void* buffer);

/** Reads length bytes of MCU memory from address into buffer; address + length must be at most
 *  0x10000, else the operation fails. buffer: as QDO_ReadMCUbyID. Returns 0; 1. */
QDM_API int32_t QDO_ReadMCU(QdmDevice* device, uint32_t address, uint32_t length, void* buffer);

/** Reads length bytes of flash from address into buffer; address + length must be at most
 *  0x80000, else the operation fails. buffer: as QDO_ReadMCUbyID. Returns 0; 1. */
QDM_API int32_t QDO_ReadFlash(QdmDevice* device, uint32_t address, uint32_t length, void* buffer);

/** Sends a command of three 16-bit words (the low 16 bits of each argument); 1, 0, 0 stores
 *  the live parameters and settings in the amplifier. Returns 0; 1. */
QDM_API int32_t QDO_SendCommand(QdmDevice* device, uint32_t word1, uint32_t word2, uint32_t word3);

/** Resets the amplifier: from the application into the boot loader, from the boot loader into
 *  the application. The device disappears for a moment and returns. Returns 0; 1. */
QDM_API int32_t QDO_Reset(QdmDevice* device);

/** Reads the identity and version texts into *info on success.
 *  Returns -1 when info is NULL; 0; 1. */
QDM_API int32_t QDO_ReadBasicInfo(QdmDevice* device, BasicInfo* info);

/** Reads the global settings' stored copy (flash 0x3D800) into *record on success.
 *  Returns -1 when record is NULL; 0; 1. */
QDM_API int32_t QDO_ReadGlobalSettingInfo(QdmDevice* device, GlobalSettingRecord* record);

/** Reads the live global settings (flash 0x3C800: the record of the last upload) into *record
 *  on success. Returns -1 when record is NULL; 0; 1. */
QDM_API int32_t QDO_ReadGlobalSettingInfoFromMCU(QdmDevice* device, GlobalSettingRecord* record);

/** Reads the stored DSP parameter copy into bytes 4-5123 of *info on success; bytes 0-3 stay
 *  the caller's. Returns -1 when info is NULL; 0; 1. */
QDM_API int32_t QDO_ReadDspParamInfo(QdmDevice* device, DspParamInfo* info);

/** Reads the live DSP parameters of the four channel banks into bytes 4-5123 of *info on
 *  success; bytes 0-3 stay the caller's. Returns -1 when info is NULL; 0; 1. */
QDM_API int32_t QDO_ReadDspParamInfoFromMCU(QdmDevice* device, DspParamInfo* info);

/** Reads the hardware information into *record on success.
 *  Returns -1 when record is NULL; 0; 1. */
QDM_API int32_t QDO_ReadHwInfo(QdmDevice* device, HwInfoRecord* record);

/* ---- Polls ---------------------------------------------------------------------------------- */

/** Asks the running operation to stop; it then ends at the next packet exchange with success 0.
 *  device: not used. */
QDM_API void QDO_CancelOperation(QdmDevice* device);

/** Returns 1 when no operation runs (a finished worker is joined first); 0 while one runs.
 *  device: not used. */
QDM_API int32_t QDO_IsOperationCompleted(QdmDevice* device);

/** Returns 1 when the last operation succeeded (also before any operation); 0 when it failed,
 *  was refused or cancelled. Read it after QDO_IsOperationCompleted has returned 1.
 *  device: not used. */
QDM_API int32_t QDO_IsOperationSuccessful(QdmDevice* device);

/** Returns the running or last operation's progress, 0-100 percent: 0 until the device has
 *  accepted the operation; afterwards the device's progress when device is the connected
 *  device, else the last percentage read. */
QDM_API uint8_t QDO_GetOperationProgress(QdmDevice* device);

#undef QUARRY_DRIVER_ASSERT

#ifdef __cplusplus
}
#endif

#endif
