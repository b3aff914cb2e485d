// The amplifier's session hook: the worker's side of a session (ISessionX), the queue it
// is put on (ISessionControllerX), the sinks sessions report to, and the session
// interfaces the amplifier itself opens (save configuration, global setting).
#pragma once

#include <cstdint>

#include "QuarryRecords.h"
#include "device_manager/core/IUnknown.h"
#include "device_manager/library/seam/IDeviceLibrary.h"
#include "platform/base/Event.h"

namespace CobaltDeviceManager {

struct AmplifierTimings;

// The end codes passed to ICDM_Progress::OnComplete.
enum SessionResult : std::int32_t {
    kSessionDone = 0,
    kSessionCancelled = 1,
    kSessionFailed = 2,
};

// Progress and end of a session; both are called on the amplifier's worker thread.
class ICDM_Progress : public IUnknown {
public:
    virtual void OnProgress(std::int32_t code, std::int32_t value) = 0;
    virtual void OnComplete(std::int32_t result) = 0;

protected:
    ~ICDM_Progress() = default;
};

// What the worker runs for each queued session.
class ISessionX : public IUnknown {
public:
    // Runs the session with the amplifier's device handle (null when not connected) on the
    // worker. Every wait inside must include `stopEvent`. -1 tells the worker to disconnect
    // and end; any other value lets it go on.
    virtual std::int32_t Run(QdoHandle handle, platform::Event* stopEvent) = 0;
    // The amplifier lets go of the session without running it (its worker ended first): a
    // session that reports to a sink tells it now that it failed, since whoever waits for
    // the end may hold the session until then. Nothing by default.
    virtual void Discard() {}

protected:
    ~ISessionX() = default;
};

// The amplifier as its sessions see it.
class ISessionControllerX : public IUnknown {
public:
    // Appends the session (taking a reference) and wakes the worker. True.
    virtual bool Enqueue(ISessionX* session) = 0;
    // The device library the amplifier talks through; its gate must be held around every
    // operation (DeviceOperation).
    virtual IDeviceLibrary& Library() = 0;
    virtual const AmplifierTimings& Timings() = 0;
    // Polls the ready flag (memory id 2) until it reads 1; false after the last round, on a
    // failed read or on a stop.
    virtual bool WaitDeviceReady(QdoHandle handle, platform::Event* stopEvent) = 0;
    // Before a read: sends every block edit still waiting for the amplifier (stored but not
    // flushed yet, or held back after a refusal) and drops whatever could not be sent, so
    // that nothing queued reaches the amplifier after the read and the read returns what
    // the amplifier will go on holding. Stops sending once `stopEvent` or `cancelEvent`
    // (either may be null) is signalled; no read follows then, so what was not sent stays
    // pending for the next flush instead.
    virtual void SettleBlockWrites(QdoHandle handle, platform::Event* stopEvent, platform::Event* cancelEvent) = 0;

protected:
    ~ISessionControllerX() = default;
};

// Mirrors a global-setting upload that the amplifier accepted.
class IReflectGlobalSetting : public IUnknown {
public:
    virtual void ReflectGlobalSetting(const QdoGlobalSettingInput& input) = 0;

protected:
    ~IReflectGlobalSetting() = default;
};

class ISessionCommon : public IUnknown {
public:
    virtual void Cancel() = 0;

protected:
    ~ISessionCommon() = default;
};

class ISaveConfigSession : public ISessionCommon {
public:
    virtual bool Start(ICDM_Progress* progress) = 0;

protected:
    ~ISaveConfigSession() = default;
};

class IUpdateGlobalSettingSession : public ISessionCommon {
public:
    virtual bool Start(ICDM_Progress* progress) = 0;

protected:
    ~IUpdateGlobalSettingSession() = default;
};

}  // namespace CobaltDeviceManager
