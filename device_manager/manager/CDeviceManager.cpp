// The device manager's amplifier list.
#include "device_manager/manager/CDeviceManager.h"

#include <cstring>
#include <set>
#include <utility>

#include "QuarryVendorId.h"
#include "device_manager/amplifier/CobaltAmplifier.h"
#include "device_manager/sessions/Sessions.h"
#include "device_manager/watcher/Screening.h"
#include "platform/base/Cp1252.h"
#include "platform/messages/MessagePoster.h"

namespace CobaltDeviceManager {
namespace {

// A scan never lists more devices than this; the bound only keeps a misbehaving library
// from holding the UI thread for ever.
constexpr int kMaxScanEntries = 4096;

}  // namespace

std::u16string KeyOfScanRecord(const QdmScanRecord& record)
{
    const std::size_t length = ::strnlen(record.serial, sizeof record.serial);
    return platform::Cp1252ToUtf16(std::string_view(record.serial, length));
}

CDeviceManager::CDeviceManager(std::shared_ptr<IDeviceLibrary> library, DeviceWatcher& watcher,
                               const AmplifierTimings& timings)
    : CDeviceManager(
          library, watcher,
          [library, timings](const std::u16string& key, ICobaltAmplifierHandle** out) {
              CobaltAmplifier* amplifier = nullptr;
              if (!CobaltDeviceManager::CreateCobaltAmplifier(key, library, timings, ParamSessionFactory(),
                                                              &amplifier)) {
                  return false;
              }
              *out = AsHandle(amplifier);
              return true;
          },
          [](ICobaltAmplifierHandle* handle) { return static_cast<CobaltAmplifier*>(handle)->Open(); }, timings)
{
}

CDeviceManager::CDeviceManager(std::shared_ptr<IDeviceLibrary> library, DeviceWatcher& watcher, AmplifierMaker maker,
                               AmplifierOpener opener, const AmplifierTimings& timings)
    : m_library(std::move(library)),
      m_watcher(watcher),
      m_maker(std::move(maker)),
      m_opener(std::move(opener)),
      m_retries(timings.openRetryFirstPause, timings.openRetryLongestPause),
      m_events(platform::devices::TimedEventSource::Open()),
      m_background([events = m_events.get()] {
          if (events != nullptr) {
              events->Wake();
          }
      })
{
    m_library->RegisterDevice(kAmplifierDeviceName, QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210);
}

CDeviceManager::~CDeviceManager()
{
    // The screening sink points back here: it must not outlive the manager in the watcher.
    if (m_startedWatcher) {
        m_watcher.Stop();
    }
    std::u16string key;
    ICobaltAmplifierHandle* opened = nullptr;
    if (m_background.Take(true, &key, &opened) && opened != nullptr) {
        opened->End();
        opened->Release();
    }
    ReleaseAll();
}

bool CDeviceManager::SetNotifyTarget(platform::WindowId window, platform::MessageId message)
{
    IDeviceWatcherNotify* screening = nullptr;
    if (!CreateScreening(&screening, this)) {
        return false;
    }
    m_notifyWindow = window;
    m_notifyMessage = message;
    m_startedWatcher = true;
    const bool started = m_watcher.Start(screening);
    screening->Release();
    m_eventsOnLoop = m_events && m_events->Watch(m_watcher.EventFd());
    return started;
}

void CDeviceManager::SetScanMode(bool suspend, bool clearList)
{
    m_scanSuspended = suspend;
    if (suspend) {
        return;
    }
    if (m_rescanPending || clearList) {
        m_rescanPending = false;
        if (clearList) {
            ReleaseAll();
        }
        RefreshAmplifierList();
        return;
    }
    // What a retried open brought meanwhile comes in now; retries that fell due meanwhile
    // start from the event loop, not inside this call.
    FinishBackgroundOpen();
}

int CDeviceManager::ForFirstActiveAmplifier(ICobaltAmplifier** out)
{
    int count = 0;
    for (ICobaltAmplifierHandle* handle : m_amplifiers) {
        if (!handle->IsPresent()) {
            continue;
        }
        if (count == 0 && out != nullptr) {
            handle->GetAmplifier(out);
        }
        ++count;
    }
    return count;
}

void CDeviceManager::RefreshAmplifierList()
{
    if (m_scanSuspended) {
        m_rescanPending = true;
        return;
    }
    const int before = CountPresent();
    // An open under way on its own thread ends first, so that this rescan knows its outcome
    // and the device library is free for the opens of this rescan.
    const bool took = TakeBackgroundOpen(true);
    std::set<std::u16string> keys;
    if (!ScanKeys(keys)) {
        if (took) {
            PostChange(before);
        }
        ScheduleRetry();
        return;
    }
    Reconcile(keys);
    PostChange(before);
    ScheduleRetry();
}

bool CDeviceManager::ScanKeys(std::set<std::u16string>& keys)
{
    if (m_library->ScanDevices() != 1) {
        return false;
    }
    QdmScanRecord record{};
    for (int entry = 0; entry < kMaxScanEntries && m_library->GetScanedDevice(&record) == 1; ++entry) {
        keys.insert(KeyOfScanRecord(record));
        record = QdmScanRecord{};
    }
    return true;
}

void CDeviceManager::Reconcile(const std::set<std::u16string>& keys)
{
    m_retries.KeepOnly(keys);

    // The vanished go first: the device library holds one device at a time, so an amplifier
    // plugged in beside a vanished one can be opened only once the vanished one has let go.
    std::vector<ICobaltAmplifierHandle*> kept;
    std::vector<ICobaltAmplifierHandle*> dropped;
    for (ICobaltAmplifierHandle* handle : m_amplifiers) {
        (keys.count(handle->GetDevicePath()) != 0 ? kept : dropped).push_back(handle);
    }
    m_amplifiers = std::move(kept);
    // A vanished amplifier ends now, even while a window still holds it.
    for (ICobaltAmplifierHandle* handle : dropped) {
        handle->SetPresent(false);
        handle->End();
        handle->Release();
    }

    for (const std::u16string& key : keys) {
        if (FindAmplifierByKey(key, nullptr)) {
            continue;
        }
        ICobaltAmplifierHandle* created = nullptr;
        if (CreateCobaltAmplifier(&created, key)) {
            m_amplifiers.push_back(created);
            m_retries.Forget(key);
        } else {
            // Timed from the failure, so that a slow failing open still leaves the pause.
            m_retries.Failed(key, OpenRetrySchedule::Clock::now());
        }
    }
    for (ICobaltAmplifierHandle* handle : m_amplifiers) {
        handle->SetPresent(true);
    }
}

void CDeviceManager::PostChange(int before)
{
    const int after = CountPresent();
    // With two or more amplifiers the notice is repeated only when the count first gets there.
    if (after <= 1 || before < 2) {
        platform::PostWindowMessage(m_notifyWindow, m_notifyMessage, 0, 0);
    }
}

void CDeviceManager::RetryDueOpens()
{
    // Resuming, or the end of the open under way, sets the timer again.
    if (m_scanSuspended || m_background.Busy()) {
        return;
    }
    const auto now = OpenRetrySchedule::Clock::now();
    if (m_retries.AnyDue(now)) {
        StartFirstDueOpen(now);
    }
    ScheduleRetry();
}

void CDeviceManager::StartFirstDueOpen(OpenRetrySchedule::Clock::time_point now)
{
    std::set<std::u16string> keys;
    const bool scanned = ScanKeys(keys);
    if (scanned) {
        m_retries.KeepOnly(keys);
    }
    for (const std::u16string& key : m_retries.Keys()) {
        if (!m_retries.IsDue(key, now)) {
            continue;
        }
        if (!scanned) {
            m_retries.Failed(key, now);
            continue;
        }
        // One at a time: the device library connects one device at a time anyway.
        const bool started = m_background.Start(key, [this](const std::u16string& wanted) {
            ICobaltAmplifierHandle* opened = nullptr;
            return CreateCobaltAmplifier(&opened, wanted) ? opened : nullptr;
        });
        if (!started) {
            m_retries.Failed(key, now);
        }
        return;
    }
}

void CDeviceManager::FinishBackgroundOpen()
{
    // Resuming takes the result.
    if (m_scanSuspended) {
        return;
    }
    const int before = CountPresent();
    // An open that failed again changes nothing and stays quiet: the notice would only
    // repeat the go-online flow for the amplifier that is already there.
    if (TakeBackgroundOpen(false)) {
        PostChange(before);
    }
    ScheduleRetry();
}

bool CDeviceManager::TakeBackgroundOpen(bool wait)
{
    std::u16string key;
    ICobaltAmplifierHandle* opened = nullptr;
    if (!m_background.Take(wait, &key, &opened)) {
        return false;
    }
    if (opened == nullptr) {
        m_retries.Failed(key, OpenRetrySchedule::Clock::now());
        return false;
    }
    m_retries.Forget(key);
    m_amplifiers.push_back(opened);
    opened->SetPresent(true);
    return true;
}

void CDeviceManager::ScheduleRetry()
{
    if (!m_events) {
        return;
    }
    const std::optional<OpenRetrySchedule::Clock::time_point> next = m_retries.NextDue();
    if (!next || m_scanSuspended || m_background.Busy()) {
        m_events->Disarm();
        return;
    }
    m_events->Arm(*next - OpenRetrySchedule::Clock::now());
}

bool CDeviceManager::FindAmplifierByKey(const std::u16string& key, ICobaltAmplifierHandle** out)
{
    for (ICobaltAmplifierHandle* handle : m_amplifiers) {
        if (handle->GetDevicePath() == key) {
            if (out != nullptr) {
                handle->AddRef();
                *out = handle;
            }
            return true;
        }
    }
    return false;
}

bool CDeviceManager::CreateCobaltAmplifier(ICobaltAmplifierHandle** out, const std::u16string& key)
{
    if (out == nullptr) {
        return false;
    }
    ICobaltAmplifierHandle* handle = nullptr;
    if (!m_maker || !m_maker(key, &handle) || handle == nullptr) {
        return false;
    }
    if (!m_opener || !m_opener(handle)) {
        handle->Release();
        return false;
    }
    *out = handle;
    return true;
}

int CDeviceManager::DeviceEventFd() const
{
    if (!m_watcher.IsStarted()) {
        return -1;
    }
    return m_eventsOnLoop ? m_events->Fd() : m_watcher.EventFd();
}

void CDeviceManager::ProcessDeviceEvents()
{
    m_watcher.ProcessEvents();
    if (!m_eventsOnLoop) {
        return;
    }
    if (m_events->TakeWake()) {
        FinishBackgroundOpen();
    }
    if (m_events->TakeExpiry()) {
        RetryDueOpens();
    }
}

std::vector<std::u16string> CDeviceManager::Keys() const
{
    std::vector<std::u16string> keys;
    for (ICobaltAmplifierHandle* handle : m_amplifiers) {
        keys.push_back(handle->GetDevicePath());
    }
    return keys;
}

int CDeviceManager::CountPresent() const
{
    int count = 0;
    for (ICobaltAmplifierHandle* handle : m_amplifiers) {
        count += handle->IsPresent() ? 1 : 0;
    }
    return count;
}

void CDeviceManager::ReleaseAll()
{
    // Each ends now, even while a window still holds it, so that the device is free for
    // the object of the next scan.
    std::vector<ICobaltAmplifierHandle*> old = std::exchange(m_amplifiers, {});
    for (ICobaltAmplifierHandle* handle : old) {
        handle->End();
        handle->Release();
    }
}

}  // namespace CobaltDeviceManager
