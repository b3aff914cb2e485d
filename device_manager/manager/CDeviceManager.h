// The device manager: one amplifier object per plugged-in amplifier, keyed by the serial
// number from the device library's scan. Rescans when screening reports an amplifier's
// arrival or removal, connects new amplifiers, retires vanished ones and posts the notify
// message to the main frame when the set may have changed. Everything here runs on the
// UI thread; the list has no lock.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device_manager/amplifier/AmplifierTimings.h"
#include "device_manager/amplifier/ICobaltAmplifierHandle.h"
#include "device_manager/library/seam/IDeviceLibrary.h"
#include "device_manager/watcher/DeviceWatcher.h"
#include "device_manager/watcher/IDeviceWatcherNotify.h"
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
    // For tests: amplifier objects from `maker`, opened with `opener`.
    CDeviceManager(std::shared_ptr<IDeviceLibrary> library, DeviceWatcher& watcher, AmplifierMaker maker,
                   AmplifierOpener opener);
    // Stops the watcher if this manager started it, ends and releases every amplifier.
    ~CDeviceManager();
    CDeviceManager(const CDeviceManager&) = delete;
    CDeviceManager& operator=(const CDeviceManager&) = delete;

    // Stores where the change notice goes and starts the watcher with a new screening
    // sink; the watcher reports the amplifiers already plugged in, so the first rescan may
    // happen inside this call. The watcher's result; false also when screening cannot be made.
    bool SetNotifyTarget(platform::WindowId window, platform::MessageId message);

    // Suspend: rescans are held back (clearList is ignored). Resume: when a rescan was
    // asked for meanwhile or clearList is set, ends and drops every amplifier object if
    // clearList, then rescans.
    void SetScanMode(bool suspend, bool clearList);

    // The number of present amplifiers; the first of them goes to *out with a reference
    // for the caller. *out is untouched when the count is 0.
    int ForFirstActiveAmplifier(ICobaltAmplifier** out);

    // Rescans (or, while suspended, remembers that a rescan is due).
    void RefreshAmplifierList() override;

    // The first amplifier whose key equals `key` exactly, with an added reference.
    bool FindAmplifierByKey(const std::u16string& key, ICobaltAmplifierHandle** out);

    // Makes and opens the amplifier object for `key`; on success *out holds it with one
    // reference. A failed open releases it.
    bool CreateCobaltAmplifier(ICobaltAmplifierHandle** out, const std::u16string& key);

    // The watcher's descriptor and its handler, for the UI's event loop.
    int DeviceEventFd() const;
    void ProcessDeviceEvents();

    // The keys of the list, in list order (present or not).
    std::vector<std::u16string> Keys() const;
    bool IsScanSuspended() const { return m_scanSuspended; }
    bool IsRescanPending() const { return m_rescanPending; }

private:
    int CountPresent() const;
    void ReleaseAll();

    std::shared_ptr<IDeviceLibrary> m_library;
    DeviceWatcher& m_watcher;
    AmplifierMaker m_maker;
    AmplifierOpener m_opener;
    bool m_startedWatcher = false;

    platform::WindowId m_notifyWindow = platform::kNoWindow;
    platform::MessageId m_notifyMessage = platform::kNoMessage;
    bool m_scanSuspended = false;
    bool m_rescanPending = false;
    std::vector<ICobaltAmplifierHandle*> m_amplifiers;  // one reference each, in order of addition
};

// The key of a scan entry: its 40-byte serial field up to the first zero, widened.
std::u16string KeyOfScanRecord(const QdmScanRecord& record);

}  // namespace CobaltDeviceManager
