// Stand-ins for the device manager's tests.
#include "tests/device_manager_watch/ManagerTestSupport.h"

#include <algorithm>
#include <cstring>

namespace manager_test {
namespace {

class FakeAmplifierImpl : public RCObjectRootEx<RCObjectMultiThreadModel>,
                          public ICobaltAmplifierHandle,
                          public ICobaltAmplifier {
public:
    FakeAmplifierImpl(std::u16string key, std::shared_ptr<AmplifierLog> log) : m_key(std::move(key)), m_log(log)
    {
        std::lock_guard<std::mutex> guard(m_log->lock);
        ++m_log->alive;
    }
    ~FakeAmplifierImpl()
    {
        Close();
        m_log->Add("end " + Narrow(m_key));
        std::lock_guard<std::mutex> guard(m_log->lock);
        --m_log->alive;
    }

    bool Open()
    {
        m_log->Add("open " + Narrow(m_key));
        std::unique_lock<std::mutex> guard(m_log->lock);
        m_log->openedAt.push_back(std::chrono::steady_clock::now());
        ++m_log->opensHeld;
        m_log->opensReleased.wait_for(guard, std::chrono::seconds(10), [this] { return !m_log->holdOpens; });
        --m_log->opensHeld;
        const auto& refused = m_log->refuseOpen;
        if (std::find(refused.begin(), refused.end(), Narrow(m_key)) != refused.end() ||
            (m_log->oneOpenAtATime && !m_log->open.empty())) {
            return false;
        }
        m_log->open.push_back(Narrow(m_key));
        m_opened = true;
        return true;
    }

    void Close()
    {
        std::lock_guard<std::mutex> guard(m_log->lock);
        if (std::exchange(m_opened, false)) {
            std::erase(m_log->open, Narrow(m_key));
        }
    }

    // ICobaltAmplifierHandle
    const std::u16string& GetDevicePath() override { return m_key; }
    bool SetPresent(bool present) override
    {
        m_log->Add("present " + Narrow(m_key) + (present ? " 1" : " 0"));
        return std::exchange(m_present, present);
    }
    bool IsPresent() override { return m_present; }
    void End() override
    {
        m_log->Add("end-service " + Narrow(m_key));
        m_present = false;
        Close();
    }
    bool GetAmplifier(ICobaltAmplifier** out) override
    {
        ICobaltAmplifier* amplifier = this;
        amplifier->AddRef();
        *out = amplifier;
        return true;
    }

    // ICobaltAmplifier: nothing the manager uses.
    std::int32_t GetModel() override { return 2; }
    const std::u16string& GetFirmwareVersion() override { return m_version; }
    bool IsMuted() override { return false; }
    bool SetMute(bool) override { return false; }
    bool GetMutePolarity() override { return true; }
    bool SetMutePolarity(bool) override { return false; }
    bool EnableMeterPolling(bool) override { return true; }
    std::int32_t GetMeterLevels(bool, std::uint32_t[4]) override { return -1; }
    std::int32_t GetProtectionStatus(std::uint32_t[2]) override { return -1; }
    bool SetHwStatusCallback(HwStatusCallback, void*) override { return true; }
    bool SetBlockParam(std::int32_t, std::int32_t, const std::uint8_t*, std::uint32_t, const std::uint8_t*,
                       std::uint32_t) override
    {
        return false;
    }
    void FlushBlockParams() override {}
    void SetNotifyWindow(WindowId, MessageId) override {}
    bool OpenWriteParamSession(IWriteParamSession**) override { return false; }
    bool OpenReadParamSession(IReadParamSession**) override { return false; }
    bool OpenFirmwareUpdateSession(const std::filesystem::path&, IUpdateFirmwareSession**) override { return false; }
    bool GetHardwareStatus(std::uint32_t* out) override
    {
        *out = 0;
        return false;
    }
    bool SaveConfig(WindowId, MessageId) override { return false; }

private:
    const std::u16string m_key;
    const std::u16string m_version = u"v5.20";
    std::shared_ptr<AmplifierLog> m_log;
    bool m_present = false;
    bool m_opened = false;  // guarded by the log's lock
};
using FakeAmplifier = RCObject2<FakeAmplifierImpl>;

}  // namespace

std::string Narrow(const std::u16string& text)
{
    std::string narrow;
    for (char16_t c : text) {
        narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return narrow;
}

void AmplifierLog::Add(std::string event)
{
    std::lock_guard<std::mutex> guard(lock);
    events.push_back(std::move(event));
}

std::vector<std::string> AmplifierLog::Events()
{
    std::lock_guard<std::mutex> guard(lock);
    return events;
}

int AmplifierLog::Alive()
{
    std::lock_guard<std::mutex> guard(lock);
    return alive;
}

void AmplifierLog::HoldOpens(bool hold)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        holdOpens = hold;
    }
    opensReleased.notify_all();
}

int AmplifierLog::OpensHeld()
{
    std::lock_guard<std::mutex> guard(lock);
    return opensHeld;
}

long AmplifierLog::Count(const std::string& event)
{
    std::lock_guard<std::mutex> guard(lock);
    return std::count(events.begin(), events.end(), event);
}

std::unique_ptr<CDeviceManager> MakeManager(std::shared_ptr<IDeviceLibrary> library, DeviceWatcher& watcher,
                                            std::shared_ptr<AmplifierLog> log, const AmplifierTimings& timings)
{
    return std::make_unique<CDeviceManager>(
        std::move(library), watcher,
        [log](const std::u16string& key, ICobaltAmplifierHandle** out) {
            log->Add("make " + Narrow(key));
            FakeAmplifier* amplifier = CreateRCObject<FakeAmplifier>(key, log);
            *out = amplifier;
            return amplifier != nullptr;
        },
        [](ICobaltAmplifierHandle* handle) { return static_cast<FakeAmplifier*>(handle)->Open(); }, timings);
}

void ScanScriptLibrary::SetScan(const std::vector<std::string>& serials)
{
    std::vector<QdmScanRecord> entries;
    for (const std::string& serial : serials) {
        QdmScanRecord record{};
        std::memcpy(record.deviceName, "Cobalt", 6);
        std::memcpy(record.serial, serial.data(), std::min(serial.size(), sizeof record.serial));
        entries.push_back(record);
    }
    SetScanEntries(std::move(entries));
}

}  // namespace manager_test
