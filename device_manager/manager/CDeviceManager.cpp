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
          [](ICobaltAmplifierHandle* handle) { return static_cast<CobaltAmplifier*>(handle)->Open(); })
{
}

CDeviceManager::CDeviceManager(std::shared_ptr<IDeviceLibrary> library, DeviceWatcher& watcher, AmplifierMaker maker,
                               AmplifierOpener opener)
    : m_library(std::move(library)), m_watcher(watcher), m_maker(std::move(maker)), m_opener(std::move(opener))
{
    m_library->RegisterDevice(kAmplifierDeviceName, QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210);
}

CDeviceManager::~CDeviceManager()
{
    // The screening sink points back here: it must not outlive the manager in the watcher.
    if (m_startedWatcher) {
        m_watcher.Stop();
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
    return started;
}

void CDeviceManager::SetScanMode(bool suspend, bool clearList)
{
    m_scanSuspended = suspend;
    if (suspend || !(m_rescanPending || clearList)) {
        return;
    }
    m_rescanPending = false;
    if (clearList) {
        ReleaseAll();
    }
    RefreshAmplifierList();
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
    if (m_library->ScanDevices() != 1) {
        return;
    }
    std::set<std::u16string> keys;
    QdmScanRecord record{};
    for (int entry = 0; entry < kMaxScanEntries && m_library->GetScanedDevice(&record) == 1; ++entry) {
        keys.insert(KeyOfScanRecord(record));
        record = QdmScanRecord{};
    }

    for (const std::u16string& key : keys) {
        ICobaltAmplifierHandle* found = nullptr;
        if (FindAmplifierByKey(key, &found)) {
            found->Release();
            continue;
        }
        ICobaltAmplifierHandle* created = nullptr;
        // One that cannot be opened is tried again at the next refresh.
        if (CreateCobaltAmplifier(&created, key)) {
            m_amplifiers.push_back(created);
        }
    }

    std::vector<ICobaltAmplifierHandle*> kept;
    std::vector<ICobaltAmplifierHandle*> dropped;
    for (ICobaltAmplifierHandle* handle : m_amplifiers) {
        const bool present = keys.count(handle->GetDevicePath()) != 0;
        handle->SetPresent(present);
        (present ? kept : dropped).push_back(handle);
    }
    m_amplifiers = std::move(kept);
    // A vanished amplifier ends now, even while a window still holds it.
    for (ICobaltAmplifierHandle* handle : dropped) {
        handle->End();
        handle->Release();
    }

    const int after = CountPresent();
    // With two or more amplifiers the notice is repeated only when the count first gets there.
    if (after <= 1 || before < 2) {
        platform::PostWindowMessage(m_notifyWindow, m_notifyMessage, 0, 0);
    }
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
    return m_watcher.EventFd();
}

void CDeviceManager::ProcessDeviceEvents()
{
    m_watcher.ProcessEvents();
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
