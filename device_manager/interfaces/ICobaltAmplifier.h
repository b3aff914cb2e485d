// The interface of one connected amplifier as the document, the block records, the
// views and the dialogs use it. The amplifier object of the device manager implements
// it; its operations run on the UI thread unless a comment says otherwise.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "device_manager/core/IUnknown.h"

namespace CobaltDeviceManager {

class IWriteParamSession;
class IReadParamSession;
class IUpdateFirmwareSession;

// Where progress and notices are posted: a window of the platform's message layer and a
// registered message id. Kept opaque here so that this interface needs no toolkit.
using WindowId = std::uint64_t;
using MessageId = std::uint32_t;

// The notices SaveConfig posts (wParam, lParam): (kSaveConfigBegins, 0) before the store,
// then (kSaveConfigEnds, kSaveConfigStored) or (kSaveConfigEnds, kSaveConfigNotStored).
inline constexpr std::uintptr_t kSaveConfigBegins = 1;
inline constexpr std::uintptr_t kSaveConfigEnds = 0;
inline constexpr std::intptr_t kSaveConfigStored = 0;
inline constexpr std::intptr_t kSaveConfigNotStored = 1;

// Called on the amplifier's worker thread when the hardware status changed (or once
// after it was set); it may only set flags or post messages.
using HwStatusCallback = void (*)(void* context);

class ICobaltAmplifier : public IUnknown {
public:
    // Model index 0 to 4 (MV220, MV220P, MV440, MV440A, MV340A); an opened amplifier
    // never reports 5.
    virtual std::int32_t GetModel() = 0;

    // Firmware version text as read when the amplifier was opened, folded to lower case;
    // owned by the amplifier.
    virtual const std::u16string& GetFirmwareVersion() = 0;

    // True while the outputs are muted by software.
    virtual bool IsMuted() = 0;

    // Writes the global settings with the new mute state and waits at most 5000 ms for
    // the write; true (and the state stored) only when it completed successfully.
    virtual bool SetMute(bool mute) = 0;

    // True when the rear-panel mute input is normally open.
    virtual bool GetMutePolarity() = 0;

    // As SetMute, for the mute-input polarity.
    virtual bool SetMutePolarity(bool normallyOpen) = 0;

    // Starts (polling at once) or stops the 100 ms meter polling; always true.
    virtual bool EnableMeterPolling(bool on) = 0;

    // Takes the fresh flag of input levels (secondSet false) or output levels (true):
    // 4 with the four words copied when fresh levels were there, else -1 and out untouched.
    virtual std::int32_t GetMeterLevels(bool secondSet, std::uint32_t out[4]) = 0;

    // The same for the two protection status words.
    virtual std::int32_t GetProtectionStatus(std::uint32_t out[2]) = 0;

    // Stores the status callback and its context; a non-null callback is called once
    // after the next meter poll even when nothing changed. Null stops the calls. True.
    virtual bool SetHwStatusCallback(HwStatusCallback callback, void* context) = 0;

    // Queues one block's coefficient and parameter bytes in the pending write image.
    // False for a type outside 1..12 or of 3, 6, 9, 10; for a channel of 4 or more (every
    // type but 11); for a coefficient size other than the type's area; for parameter
    // bytes larger than the type's area. Nothing is sent here.
    virtual bool SetBlockParam(std::int32_t blockType, std::int32_t channel,
                               const std::uint8_t* coefficients, std::uint32_t coefficientSize,
                               const std::uint8_t* parameters, std::uint32_t parameterSize) = 0;

    // Wakes the worker to write the blocks queued since the last flush.
    virtual void FlushBlockParams() = 0;

    // Window and message that receive the block-write progress notices.
    virtual void SetNotifyWindow(WindowId window, MessageId message) = 0;

    // Create a session bound to this amplifier and hand it out with one reference; true
    // on success. The read session takes the channel class of this amplifier's model.
    virtual bool OpenWriteParamSession(IWriteParamSession** out) = 0;
    virtual bool OpenReadParamSession(IReadParamSession** out) = 0;
    virtual bool OpenFirmwareUpdateSession(const std::filesystem::path& firmwareFile,
                                           IUpdateFirmwareSession** out) = 0;

    // The hardware status word (0 when not valid); the result tells whether it is valid.
    virtual bool GetHardwareStatus(std::uint32_t* out) = 0;

    // Queues a store of the configuration in the amplifier; message is posted to window
    // before and after the store (the kSaveConfig notices above, the second one telling
    // whether the configuration was stored). True once queued, without waiting.
    virtual bool SaveConfig(WindowId window, MessageId message) = 0;

protected:
    ~ICobaltAmplifier() = default;
};

}  // namespace CobaltDeviceManager
