// The device manager's side of one amplifier object.
#pragma once

#include <string>

#include "device_manager/core/IUnknown.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"

namespace CobaltDeviceManager {

class ICobaltAmplifierHandle : public IUnknown {
public:
    // The key (the serial number from the scan); owned by the object.
    virtual const std::u16string& GetDevicePath() = 0;
    // Returns the previous value. Becoming present reads the global settings (on the
    // calling thread); becoming absent makes the hardware information not valid.
    virtual bool SetPresent(bool present) = 0;
    virtual bool IsPresent() = 0;
    // Hands out the amplifier interface with an added reference. True.
    virtual bool GetAmplifier(ICobaltAmplifier** out) = 0;
    // The manager drops the object: its worker stops and the device is disconnected now,
    // even while others still hold references. The object stays valid for them, absent,
    // and whatever would need the device fails from then on.
    virtual void End() = 0;

protected:
    ~ICobaltAmplifierHandle() = default;
};

}  // namespace CobaltDeviceManager
