// The firmware update's progress sink: the firmware session calls it on the amplifier's
// worker thread, and it only posts the registered message to the firmware dialog, with the
// session's progress code and value, and kFirmwareProgressFinished with the session result at
// the end. A post to a dialog that has gone is dropped.
#pragma once

#include <cstdint>

#include "device_manager/amplifier/SessionInterfaces.h"
#include "device_manager/core/RefCounting.h"
#include "platform/messages/Messages.h"

class ProgressSink : public CobaltDeviceManager::RCObjectRootEx<CobaltDeviceManager::RCObjectMultiThreadModel>,
                     public CobaltDeviceManager::ICDM_Progress {
public:
    ProgressSink(platform::WindowId window, platform::MessageId message);

    // Posts (message, code, value).
    void OnProgress(std::int32_t code, std::int32_t value) override;
    // Posts (message, kFirmwareProgressFinished, result): 0 done, 1 cancelled, 2 failed.
    void OnComplete(std::int32_t result) override;

protected:
    virtual ~ProgressSink() = default;

private:
    // Set at construction and only read afterwards, so the worker reads them without a lock.
    const platform::WindowId window_;
    const platform::MessageId message_;
};

// A new sink holding one reference for the caller. Always true (false only when memory is
// short, *out then null).
bool CreateProgressSink(platform::WindowId window, platform::MessageId message,
                        CobaltDeviceManager::ICDM_Progress** out);
