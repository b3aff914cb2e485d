// The editor's object for one connected amplifier: it owns the device-library connection
// and a worker thread that writes changed blocks, runs queued sessions, polls the meters
// every 100 ms while metering is on and re-reads the hardware information every tenth
// poll. Two counts: the external count of the public faces ends the service (FinalRelease
// stops the worker); the lifetime count, also held by the worker and the sessions, ends
// the object.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>

#include "device_manager/amplifier/AmplifierTimings.h"
#include "device_manager/amplifier/BlockRetryBackoff.h"
#include "device_manager/amplifier/ICobaltAmplifierHandle.h"
#include "device_manager/amplifier/MeterRecord.h"
#include "device_manager/amplifier/ParamWriteImage.h"
#include "device_manager/amplifier/SessionFactory.h"
#include "device_manager/amplifier/SessionInterfaces.h"
#include "device_manager/core/IThread.h"
#include "device_manager/core/IThreadEntry.h"
#include "device_manager/core/RefCounting.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "device_manager/library/seam/IDeviceLibrary.h"
#include "platform/base/Event.h"
#include "platform/messages/Messages.h"

namespace CobaltDeviceManager {

static_assert(std::is_same_v<WindowId, platform::WindowId>, "one window id for every layer");
static_assert(std::is_same_v<MessageId, platform::MessageId>, "one message id for every layer");

// The model index of an amplifier that could not be identified.
inline constexpr std::int32_t kUnknownModel = 5;

class CobaltAmplifier
    : public RCObjectRootEx<RCObjectMultiThreadModel>,
      public InterfaceImplWithFinalRelease2<RCObjectMultiThreadModel, ICobaltAmplifierHandle, ICobaltAmplifier>,
      public InterfaceImpl3<IThreadEntry, ISessionControllerX, IReflectGlobalSetting> {
public:
    // Connects (on the calling thread), reads the identity and the hardware information and
    // starts the worker. False, with nothing left connected, when the events, the connect,
    // the identity reads, the model or the worker fail.
    bool Open();

    // --- ICobaltAmplifierHandle ---
    const std::u16string& GetDevicePath() override;
    bool SetPresent(bool present) override;
    bool IsPresent() override;
    bool GetAmplifier(ICobaltAmplifier** out) override;
    void End() override;

    // --- ICobaltAmplifier ---
    std::int32_t GetModel() override;
    const std::u16string& GetFirmwareVersion() override;
    bool IsMuted() override;
    bool SetMute(bool mute) override;
    bool GetMutePolarity() override;
    bool SetMutePolarity(bool normallyOpen) override;
    bool EnableMeterPolling(bool on) override;
    std::int32_t GetMeterLevels(bool secondSet, std::uint32_t out[4]) override;
    std::int32_t GetProtectionStatus(std::uint32_t out[2]) override;
    bool SetHwStatusCallback(HwStatusCallback callback, void* context) override;
    bool SetBlockParam(std::int32_t blockType, std::int32_t channel, const std::uint8_t* coefficients,
                       std::uint32_t coefficientSize, const std::uint8_t* parameters,
                       std::uint32_t parameterSize) override;
    void FlushBlockParams() override;
    void SetNotifyWindow(WindowId window, MessageId message) override;
    bool OpenWriteParamSession(IWriteParamSession** out) override;
    bool OpenReadParamSession(IReadParamSession** out) override;
    bool OpenFirmwareUpdateSession(const std::filesystem::path& firmwareFile, IUpdateFirmwareSession** out) override;
    bool GetHardwareStatus(std::uint32_t* out) override;
    bool SaveConfig(WindowId window, MessageId message) override;

    // --- IThreadEntry: the worker ---
    std::uint32_t Run(platform::Event* stopEvent) override;

    // --- ISessionControllerX ---
    bool Enqueue(ISessionX* session) override;
    IDeviceLibrary& Library() override;
    const AmplifierTimings& Timings() override;
    bool WaitDeviceReady(QdoHandle handle, platform::Event* stopEvent) override;
    void SettleBlockWrites(QdoHandle handle, platform::Event* stopEvent, platform::Event* cancelEvent) override;

    // --- IReflectGlobalSetting ---
    void ReflectGlobalSetting(const QdoGlobalSettingInput& input) override;

    // The number of free images in the pool, and the dirty mask of the pending image (0
    // when none is pending): what the next flush would write.
    std::size_t PooledImageCount();
    std::uint64_t PendingDirtyMask();

protected:
    CobaltAmplifier(std::u16string key, std::shared_ptr<IDeviceLibrary> library, const AmplifierTimings& timings,
                    const SessionFactory& sessions);
    ~CobaltAmplifier() override;

    void FinalRelease() override;

private:
    friend bool CreateCobaltAmplifier(const std::u16string& key, std::shared_ptr<IDeviceLibrary> library,
                                      const AmplifierTimings& timings, const SessionFactory& sessions,
                                      CobaltAmplifier** out);

    // Stops the worker (which disconnects on its way out), closes the session queue and
    // lets go of sessions still queued; once done, again does nothing.
    void StopService();

    // Open's steps.
    QdoHandle ConnectAmplifier();
    bool ReadDeviceIdentity(QdoHandle handle);
    void DisconnectNow();

    // The worker's steps.
    bool RunQueuedSessions(platform::Event* stopEvent);
    // No session can run any more: Enqueue refuses from now on. Sessions still queued are
    // let go by FinalRelease.
    void CloseSessionQueue();
    void PollMeters(platform::Event* stopEvent);
    bool RefreshHardwareInfo(platform::Event* stopEvent);
    void CallHwStatusCallback();

    // Global settings.
    void ReadGlobalSetting();
    bool WriteGlobalSetting(const QdoGlobalSettingInput& input);
    QdoGlobalSettingInput MakeGlobalSettingInput(bool normallyOpen, bool muted) const;

    // Block writes.
    std::unique_ptr<ParamWriteImage> TakePendingImage();
    void ReturnToPool(std::unique_ptr<ParamWriteImage> image);
    void WritePendingImage(platform::Event* stopEvent);
    // The dirty blocks one by one with their notices; the bits of those not written. A
    // signalled `stopEvent` or `cancelEvent` (either may be null) ends the writes.
    std::uint64_t WriteImageBlocks(ParamWriteImage& image, QdoHandle handle, platform::Event* stopEvent,
                                   platform::Event* cancelEvent = nullptr);
    bool WriteImageBlock(const ParamWriteImage& image, QdoHandle handle, platform::Event* stopEvent,
                         platform::Event* cancelEvent);
    // WaitDeviceReady that also ends on `cancelEvent`.
    bool WaitReady(QdoHandle handle, platform::Event* stopEvent, platform::Event* cancelEvent);
    // Puts the blocks of `keep` back into the pending image where no newer edit replaced
    // them, and starts or lengthens the pause of those of them in `refused`.
    void KeepBlocksPending(std::unique_ptr<ParamWriteImage> image, std::uint64_t keep, std::uint64_t refused);
    // When the first refused block of the pending image may be sent again.
    std::optional<std::uint64_t> NextRetryTick();
    void PostWriteNotice(std::uintptr_t done, std::intptr_t total);

    // Set at construction, never changed.
    const std::u16string m_key;
    const std::shared_ptr<IDeviceLibrary> m_library;
    const AmplifierTimings m_timings;
    const SessionFactory m_sessionFactory;

    // Set by Open before the worker starts, read-only afterwards.
    std::int32_t m_model = kUnknownModel;
    std::u16string m_version;
    bool m_byte12Valid = false;
    std::unique_ptr<platform::Event> m_sessionEvent;       // auto reset; thread-safe itself
    std::unique_ptr<platform::Event> m_writePendingEvent;  // auto reset; thread-safe itself

    // Written by Open, by the worker on its way out and by the destructor; read by both threads.
    std::atomic<QdoHandle> m_handle{nullptr};

    std::atomic<bool> m_present{false};
    // Set by End: nothing reaches the device any more.
    std::atomic<bool> m_ended{false};
    // Mirrors of the amplifier's global settings: written by the UI after a write and by
    // the worker's reflection of one. Before the first read: normally open, not muted.
    std::atomic<bool> m_normallyOpen{true};
    std::atomic<bool> m_muted{false};

    std::atomic<bool> m_meterPolling{false};
    std::atomic<std::uint64_t> m_lastPollTick{0};  // TickCountMs of the last poll; unsigned arithmetic

    std::mutex m_meterLock;
    MeterRecord m_meter{};  // guarded by m_meterLock
    // Hand-over of the meter record: set after it is stored, taken (exchanged to false)
    // before it is read.
    std::atomic<bool> m_freshInputLevels{false};
    std::atomic<bool> m_freshOutputLevels{false};
    std::atomic<bool> m_freshStatus{false};

    std::mutex m_hwLock;
    bool m_hwValid = false;  // guarded by m_hwLock
    HwInfoRecord m_hwInfo{}; // guarded by m_hwLock

    // Held while the callback runs, so that once SetHwStatusCallback returns the old
    // callback and context are no longer in use.
    std::mutex m_callbackLock;
    HwStatusCallback m_callback = nullptr;  // guarded by m_callbackLock
    void* m_callbackContext = nullptr;      // guarded by m_callbackLock
    std::atomic<bool> m_forceCallback{false};

    std::mutex m_sessionLock;
    std::deque<ISessionX*> m_sessions;  // guarded by m_sessionLock; one reference each
    // The worker runs and takes sessions: set once it is started, cleared when it ends or
    // the service ends, after which Enqueue refuses. Guarded by m_sessionLock.
    bool m_sessionsOpen = false;

    std::mutex m_threadLock;
    IThread* m_thread = nullptr;  // guarded by m_threadLock; one reference

    std::mutex m_notifyLock;
    WindowId m_notifyWindow = platform::kNoWindow;    // guarded by m_notifyLock
    MessageId m_notifyMessage = platform::kNoMessage; // guarded by m_notifyLock

    // Lock order: m_imageLock before m_poolLock.
    std::mutex m_imageLock;
    std::unique_ptr<ParamWriteImage> m_pending;  // guarded by m_imageLock
    BlockRetryBackoff m_retry;                   // guarded by m_imageLock
    std::mutex m_poolLock;
    std::deque<std::unique_ptr<ParamWriteImage>> m_pool;  // guarded by m_poolLock
};

// Makes the object for `key` (not yet opened) with one external reference for the caller.
// `sessions` makes the write, read and firmware-update sessions its openers hand out.
bool CreateCobaltAmplifier(const std::u16string& key, std::shared_ptr<IDeviceLibrary> library,
                           const AmplifierTimings& timings, const SessionFactory& sessions, CobaltAmplifier** out);

// The caller's side of the object's references: the public faces, as the device manager
// and the UI hold them.
inline ICobaltAmplifierHandle* AsHandle(CobaltAmplifier* amplifier)
{
    return static_cast<ICobaltAmplifierHandle*>(amplifier);
}

}  // namespace CobaltDeviceManager
