// The device manager: one amplifier object per plugged-in amplifier, keyed by the serial
// number from the device library's scan. Rescans when screening reports an amplifier's
// arrival or removal, retires vanished amplifiers, connects new ones and posts the notify
// message to the main frame when the set may have changed. An amplifier that is listed but
// cannot be opened is tried again on a schedule while it stays listed; those retries open on
// a thread of their own, so that an amplifier that does not answer never holds the UI.
// Everything else here runs on the UI thread; the list has no lock.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "device_manager/amplifier/AmplifierTimings.h"
#include "device_manager/amplifier/ICobaltAmplifierHandle.h"
#include "device_manager/library/seam/IDeviceLibrary.h"
#include "device_manager/manager/BackgroundOpen.h"
#include "device_manager/manager/OpenRetrySchedule.h"
#include "device_manager/watcher/DeviceWatcher.h"
#include "device_manager/watcher/IDeviceWatcherNotify.h"
#include "platform/devices/TimedEventSource.h"
#include "platform/messages/Messages.h"

namespace CobaltDeviceManager {

// The name under which the amplifier's id pair is registered with the device library.
inline constexpr const char* kAmplifierDeviceName = "Cobalt";

class CDeviceManager final : public IAmplifierListRefresh {
public:
    // Makes the amplifier object for a key, not yet opened, with one reference for the
    // caller. Tests put stand-ins here; by default it is a CobaltAmplifier.
    using AmplifierMaker = std::function<bool(const std::u16string& key, ICobaltAmplifierHandle** out)>;
    // Opens a made object: connects and starts it. By default CobaltAmplifier::Open.
    using AmplifierOpener = std::function<bool(ICobaltAmplifierHandle* handle)>;

    // Registers the amplifier's id pair with `library` (the result does not matter: a
    // failed registration shows as an empty scan). `watcher` must outlive the manager.
    // Its amplifiers are CobaltAmplifiers that open the sessions of ParamSessionFactory().
    CDeviceManager(std::shared_ptr<IDeviceLibrary> library, DeviceWatcher& watcher,
                   const AmplifierTimings& timings = AmplifierTimings{});
    // For tests: amplifier objects from `maker`, opened with `opener` (both also called on
    // the thread of a retried open); the manager's own pauses from `timings`.
    CDeviceManager(std::shared_ptr<IDeviceLibrary> library, DeviceWatcher& watcher, AmplifierMaker maker,
                   AmplifierOpener opener, const AmplifierTimings& timings = AmplifierTimings{});
    // Stops the watcher if this manager started it, waits for a retried open under way, ends
    // and releases every amplifier.
    ~CDeviceManager();
    CDeviceManager(const CDeviceManager&) = delete;
    CDeviceManager& operator=(const CDeviceManager&) = delete;

    // Stores where the change notice goes and starts the watcher with a new screening
    // sink; the watcher reports the amplifiers already plugged in, so the first rescan may
    // happen inside this call. The watcher's result; false also when screening cannot be made.
    bool SetNotifyTarget(platform::WindowId window, platform::MessageId message);

    // Suspend: rescans and retried opens are held back (clearList is ignored). Resume: when
    // a rescan was asked for meanwhile or clearList is set, ends and drops every amplifier
    // object if clearList, then rescans; otherwise takes in what a retried open that ended
    // meanwhile opened. Retries that fell due meanwhile start from the event loop.
    void SetScanMode(bool suspend, bool clearList);

    // The number of present amplifiers; the first of them goes to *out with a reference
    // for the caller. *out is untouched when the count is 0.
    int ForFirstActiveAmplifier(ICobaltAmplifier** out);

    // Rescans (or, while suspended, remembers that a rescan is due): waits for a retried open
    // under way, drops the amplifiers that left the scan, then opens the new ones. One that
    // cannot be opened waits for its retry.
    void RefreshAmplifierList() override;

    // The first amplifier whose key equals `key` exactly, with an added reference.
    bool FindAmplifierByKey(const std::u16string& key, ICobaltAmplifierHandle** out);

    // Makes and opens the amplifier object for `key`; on success *out holds it with one
    // reference. A failed open releases it.
    bool CreateCobaltAmplifier(ICobaltAmplifierHandle** out, const std::u16string& key);

    // For the UI's event loop: readable while device events wait, a retry is due or a
    // retried open has ended (-1 until the watcher is started); its handler, which never
    // waits for any of them.
    int DeviceEventFd() const;
    void ProcessDeviceEvents();

    // The keys of the list, in list order (present or not).
    std::vector<std::u16string> Keys() const;
    // The keys listed by the last scan whose open failed and waits for a retry, in key order.
    std::vector<std::u16string> KeysAwaitingOpen() const { return m_retries.Keys(); }
    bool IsScanSuspended() const { return m_scanSuspended; }
    bool IsRescanPending() const { return m_rescanPending; }

private:
    // The keys of the library's scan; false when the scan fails.
    bool ScanKeys(std::set<std::u16string>& keys);
    // Brings the list to `keys`: ends the vanished amplifiers, then opens the missing ones.
    void Reconcile(const std::set<std::u16string>& keys);
    // The change notice, after a change that began with `before` present amplifiers.
    void PostChange(int before);
    // The retry timer ran out: starts the first due open, unless one is under way.
    void RetryDueOpens();
    // Rescans and starts opening the first due key that is still listed on a thread of its
    // own; when the scan fails, every due key waits for its next pause.
    void StartFirstDueOpen(OpenRetrySchedule::Clock::time_point now);
    // The retried open ended: takes in its amplifier, if it opened one, and tells the frame.
    void FinishBackgroundOpen();
    // Takes the result of the retried open (waiting for it with `wait`) into the list or the
    // schedule; true when an amplifier was added.
    bool TakeBackgroundOpen(bool wait);
    // Sets the timer for the next due retry, or stops it while none can start.
    void ScheduleRetry();
    int CountPresent() const;
    void ReleaseAll();

    std::shared_ptr<IDeviceLibrary> m_library;
    DeviceWatcher& m_watcher;
    AmplifierMaker m_maker;
    AmplifierOpener m_opener;
    bool m_startedWatcher = false;
    OpenRetrySchedule m_retries;
    // The watcher's descriptor plus the retry timer and the retried open's wake-up; null
    // when it cannot be made, and then a failed open is tried again only at the next rescan.
    // Outlives m_background, whose thread wakes it.
    std::unique_ptr<platform::devices::TimedEventSource> m_events;
    bool m_eventsOnLoop = false;  // m_events watches the watcher, so the UI's loop watches it
    BackgroundOpen m_background;

    platform::WindowId m_notifyWindow = platform::kNoWindow;
    platform::MessageId m_notifyMessage = platform::kNoMessage;
    bool m_scanSuspended = false;
    bool m_rescanPending = false;
    std::vector<ICobaltAmplifierHandle*> m_amplifiers;  // one reference each, in order of addition
};

// The key of a scan entry: its 40-byte serial field up to the first zero, widened.
std::u16string KeyOfScanRecord(const QdmScanRecord& record);

}  // namespace CobaltDeviceManager
