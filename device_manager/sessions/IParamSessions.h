// The sessions the UI opens on an amplifier (ICobaltAmplifier::OpenWriteParamSession,
// OpenReadParamSession, OpenFirmwareUpdateSession) and the sink of the blocks a read
// delivers. Start and Cancel run on the UI thread; the session runs, and calls its sinks,
// on the amplifier's worker thread.
#pragma once

#include <cstdint>

#include "device_manager/amplifier/SessionInterfaces.h"

namespace CobaltDeviceManager {

// Receives the blocks a read session delivers; called on the amplifier's worker. `data`
// is valid only during the call.
class IReadParamSink : public IUnknown {
public:
    virtual void OnBlock(std::int32_t blockType, std::int32_t channel, const std::uint8_t* data,
                         std::uint32_t size) = 0;

protected:
    ~IReadParamSink() = default;
};

class IReadParamSession : public ISessionCommon {
public:
    // Keeps a reference to both sinks and queues the read. False when it cannot be queued
    // (the amplifier's worker has ended); the sinks then hear nothing.
    virtual bool Start(ICDM_Progress* progress, IReadParamSink* blocks) = 0;

protected:
    ~IReadParamSession() = default;
};

class IWriteParamSession : public ISessionCommon {
public:
    // Before Start: stores one block in the session's own image, with the checks of
    // ICobaltAmplifier::SetBlockParam (the matrix mixer always marks all four of its
    // blocks). False, changing nothing, for a rejected block or once started.
    virtual bool SetBlockParam(std::int32_t blockType, std::int32_t channel, const std::uint8_t* coefficients,
                               std::uint32_t coefficientSize, const std::uint8_t* parameters,
                               std::uint32_t parameterSize) = 0;
    // Keeps a reference to the sink and queues the upload. False when it cannot be queued.
    virtual bool Start(ICDM_Progress* progress) = 0;

protected:
    ~IWriteParamSession() = default;
};

class IUpdateFirmwareSession : public ISessionCommon {
public:
    // Keeps a reference to the sink and queues the update. False when it cannot be queued.
    virtual bool Start(ICDM_Progress* progress) = 0;

protected:
    ~IUpdateFirmwareSession() = default;
};

// Progress codes of the firmware update (first argument of OnProgress).
inline constexpr std::int32_t kFirmwareProgressPercent = 0;
inline constexpr std::int32_t kFirmwareProgressResetting = 1;
inline constexpr std::int32_t kFirmwareProgressTransfer = 2;
inline constexpr std::int32_t kFirmwareProgressFinalReset = 3;
inline constexpr std::int32_t kFirmwareProgressFinished = 4;

}  // namespace CobaltDeviceManager
