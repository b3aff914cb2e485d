// The amplifier object: creation, open and end, the handle face, mute and polarity
// through the global settings, status reads and the session openers.
#include "device_manager/amplifier/CobaltAmplifier.h"

#include <cstring>
#include <new>

#include "QuarryVendorId.h"
#include "platform/base/VersionText.h"
#include "device_manager/amplifier/AmplifierSessions.h"
#include "device_manager/amplifier/ProgressSynch.h"
#include "device_manager/core/Thread.h"
#include "device_manager/library/seam/DeviceOperation.h"
#include "platform/base/Clock.h"
#include "platform/base/Cp1252.h"

namespace CobaltDeviceManager {
namespace {

constexpr std::size_t kVersionTextOffset = 12;
constexpr std::size_t kVersionTextSize = 16;
constexpr FirmwareVersion kFirstVersionWithHwByte12{5, 21};

// The model code byte of the basic information (1 to 5) as a model index (0 to 4).
std::int32_t ModelOfCode(std::uint8_t code)
{
    return (code >= 1 && code <= 5) ? code - 1 : kUnknownModel;
}

std::u16string LowerCase(std::u16string text)
{
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        } else if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
            c = static_cast<char16_t>(c + 0x20);
        }
    }
    return text;
}

}  // namespace

bool CreateCobaltAmplifier(const std::u16string& key, std::shared_ptr<IDeviceLibrary> library,
                           const AmplifierTimings& timings, const SessionFactory& sessions, CobaltAmplifier** out)
{
    if (out == nullptr || !library) {
        return false;
    }
    CobaltAmplifier* amplifier = nullptr;
    try {
        amplifier = new RCObject2Ex<CobaltAmplifier>(key, std::move(library), timings, sessions);
    } catch (const std::bad_alloc&) {
        return false;
    }
    AsHandle(amplifier)->AddRef();
    *out = amplifier;
    return true;
}

CobaltAmplifier::CobaltAmplifier(std::u16string key, std::shared_ptr<IDeviceLibrary> library,
                                 const AmplifierTimings& timings, const SessionFactory& sessions)
    : m_key(std::move(key)),
      m_library(std::move(library)),
      m_timings(timings),
      m_sessionFactory(sessions),
      m_retry(timings.retryFirstPause, timings.retryLongestPause)
{
}

CobaltAmplifier::~CobaltAmplifier()
{
    IThread* thread = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_threadLock);
        thread = std::exchange(m_thread, nullptr);
    }
    if (thread != nullptr) {
        thread->Release();
    }
    std::deque<ISessionX*> sessions;
    {
        std::lock_guard<std::mutex> guard(m_sessionLock);
        sessions.swap(m_sessions);
    }
    for (ISessionX* session : sessions) {
        session->Discard();
        session->Release();
    }
    DisconnectNow();
}

void CobaltAmplifier::FinalRelease()
{
    StopService();
}

void CobaltAmplifier::End()
{
    m_ended.store(true);
    SetPresent(false);
    StopService();
    // An amplifier whose worker ended early may still hold the device.
    DisconnectNow();
}

void CobaltAmplifier::StopService()
{
    IThread* thread = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_threadLock);
        thread = std::exchange(m_thread, nullptr);
    }
    if (thread != nullptr) {
        // The worker disconnects on its way out.
        thread->Shutdown();
    }
    CloseSessionQueue();
    std::deque<ISessionX*> sessions;
    {
        std::lock_guard<std::mutex> guard(m_sessionLock);
        sessions.swap(m_sessions);
    }
    for (ISessionX* session : sessions) {
        session->Discard();
        session->Release();
    }
    if (thread != nullptr) {
        thread->Release();
    }
}

bool CobaltAmplifier::Open()
{
    try {
        m_sessionEvent = std::make_unique<platform::Event>(platform::ResetMode::Auto, false);
        m_writePendingEvent = std::make_unique<platform::Event>(platform::ResetMode::Auto, false);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const QdoHandle handle = ConnectAmplifier();
    if (handle == nullptr) {
        return false;
    }
    m_handle.store(handle);
    if (!ReadDeviceIdentity(handle)) {
        DisconnectNow();
        return false;
    }
    RefreshHardwareInfo(nullptr);

    IThread* thread = nullptr;
    if (!Thread::Create(static_cast<IThreadEntry*>(this), &thread, kThreadPriorityNormal)) {
        DisconnectNow();
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(m_threadLock);
        m_thread = thread;
    }
    std::lock_guard<std::mutex> guard(m_sessionLock);
    m_sessionsOpen = true;
    return true;
}

QdoHandle CobaltAmplifier::ConnectAmplifier()
{
    const std::string serial = platform::Utf16ToCp1252(m_key);
    if (m_library->ConnectDevice(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210, serial.c_str()) != 1) {
        return nullptr;
    }
    // The library bounds its own handshake; this bound only guards against a library
    // that never reports the connect finished.
    const platform::Deadline deadline(m_timings.connectLimit);
    while (m_library->IsConnectCompleted() == 0) {
        if (deadline.Expired()) {
            return nullptr;
        }
        platform::SleepMs(static_cast<std::uint32_t>(m_timings.operationPoll.count()));
    }
    return m_library->GetConnectingDevice();
}

bool CobaltAmplifier::ReadDeviceIdentity(QdoHandle handle)
{
    const OperationWait wait{m_timings.operationPoll, m_timings.operationLimit, m_timings.cancelGrace};
    {
        auto scratch = std::make_shared<HwInfoRecord>();
        DeviceOperation operation(*m_library, m_timings.gateLimit, nullptr);
        HwInfoRecord* record = scratch.get();
        if (operation.Run([&] { return m_library->ReadHwInfo(handle, record); }, scratch, wait) !=
            DeviceOperation::Outcome::Succeeded) {
            return false;
        }
    }
    auto info = std::make_shared<BasicInfo>();
    std::memset(info.get(), 0, sizeof(BasicInfo));
    {
        DeviceOperation operation(*m_library, m_timings.gateLimit, nullptr);
        BasicInfo* record = info.get();
        if (operation.Run([&] { return m_library->ReadBasicInfo(handle, record); }, info, wait) !=
            DeviceOperation::Outcome::Succeeded) {
            return false;
        }
    }
    const std::int32_t model = ModelOfCode(info->modelCode);
    if (model == kUnknownModel) {
        return false;
    }
    // The text field is 16 bytes; a text that fills it has no terminator of its own.
    const auto* text = reinterpret_cast<const char*>(info.get()) + kVersionTextOffset;
    const std::size_t length = strnlen(text, kVersionTextSize);
    m_model = model;
    m_version = LowerCase(platform::Cp1252ToUtf16(std::string_view(text, length)));
    m_byte12Valid = (model == 3 || model == 4) && ParseVersionPair(m_version) >= kFirstVersionWithHwByte12;
    return true;
}

void CobaltAmplifier::DisconnectNow()
{
    QdoHandle handle = m_handle.load();
    if (handle == nullptr) {
        return;
    }
    if (DisconnectDevice(*m_library, handle, m_timings.disconnectLimit, m_timings.disconnectRetry)) {
        m_handle.store(nullptr);
    }
}

// --- ICobaltAmplifierHandle ---

const std::u16string& CobaltAmplifier::GetDevicePath()
{
    return m_key;
}

bool CobaltAmplifier::SetPresent(bool present)
{
    const bool previous = m_present.exchange(present);
    if (present && !previous) {
        // Blocks refused before are worth sending at once to an amplifier that is back.
        {
            std::lock_guard<std::mutex> guard(m_imageLock);
            m_retry.ForgetAll();
        }
        ReadGlobalSetting();
    }
    if (!present) {
        std::lock_guard<std::mutex> guard(m_hwLock);
        m_hwValid = false;
    }
    return previous;
}

bool CobaltAmplifier::IsPresent()
{
    return m_present.load();
}

bool CobaltAmplifier::GetAmplifier(ICobaltAmplifier** out)
{
    if (out == nullptr) {
        return false;
    }
    ICobaltAmplifier* amplifier = this;
    amplifier->AddRef();
    *out = amplifier;
    return true;
}

// --- ICobaltAmplifier: identity and global settings ---

std::int32_t CobaltAmplifier::GetModel()
{
    return m_model;
}

const std::u16string& CobaltAmplifier::GetFirmwareVersion()
{
    return m_version;
}

bool CobaltAmplifier::IsMuted()
{
    return m_muted.load();
}

bool CobaltAmplifier::GetMutePolarity()
{
    return m_normallyOpen.load();
}

bool CobaltAmplifier::SetMute(bool mute)
{
    if (!WriteGlobalSetting(MakeGlobalSettingInput(m_normallyOpen.load(), mute))) {
        return false;
    }
    m_muted.store(mute);
    return true;
}

bool CobaltAmplifier::SetMutePolarity(bool normallyOpen)
{
    if (!WriteGlobalSetting(MakeGlobalSettingInput(normallyOpen, m_muted.load()))) {
        return false;
    }
    m_normallyOpen.store(normallyOpen);
    return true;
}

QdoGlobalSettingInput CobaltAmplifier::MakeGlobalSettingInput(bool normallyOpen, bool muted) const
{
    QdoGlobalSettingInput input{};
    input.header[0] = normallyOpen ? 0 : 1;
    input.header[1] = muted ? 1 : 0;
    input.record[0] = normallyOpen ? 'O' : 'C';
    input.record[1] = muted ? 'T' : 'F';
    return input;
}

void CobaltAmplifier::ReadGlobalSetting()
{
    const QdoHandle handle = m_handle.load();
    if (handle == nullptr) {
        return;
    }
    auto record = std::make_shared<GlobalSettingRecord>();
    GlobalSettingRecord* buffer = record.get();
    DeviceOperation operation(*m_library, m_timings.gateLimit, nullptr);
    const OperationWait wait{m_timings.operationPoll, m_timings.operationLimit, m_timings.cancelGrace};
    if (operation.Run([&] { return m_library->ReadGlobalSettingInfoFromMCU(handle, buffer); }, record, wait) !=
        DeviceOperation::Outcome::Succeeded) {
        return;
    }
    m_normallyOpen.store(record->bytes[0] != 'C');
    m_muted.store(record->bytes[1] == 'T');
}

bool CobaltAmplifier::WriteGlobalSetting(const QdoGlobalSettingInput& input)
{
    ProgressSynch* synch = nullptr;
    if (!CreateProgressSynch(&synch)) {
        return false;
    }
    IUpdateGlobalSettingSession* session = nullptr;
    bool completed = false;
    if (NewUpdateGlobalSettingSession(this, this, input, &session)) {
        if (session->Start(synch)) {
            completed = synch->WaitFor(m_timings.globalSettingWait) && synch->Completed();
        }
        session->Release();
    }
    synch->Release();
    return completed;
}

void CobaltAmplifier::ReflectGlobalSetting(const QdoGlobalSettingInput& input)
{
    m_normallyOpen.store(input.record[0] != 'C');
    m_muted.store(input.record[1] == 'T');
}

// --- ICobaltAmplifier: status ---

bool CobaltAmplifier::EnableMeterPolling(bool on)
{
    if (!on) {
        m_meterPolling.store(false);
        return true;
    }
    // As if the last poll were a whole period ago, so the worker polls at once.
    m_lastPollTick.store(platform::TickCountMs() - static_cast<std::uint64_t>(m_timings.meterPeriod.count()));
    m_meterPolling.store(true);
    if (m_sessionEvent) {
        m_sessionEvent->Set();
    }
    return true;
}

std::int32_t CobaltAmplifier::GetMeterLevels(bool secondSet, std::uint32_t out[4])
{
    if (out == nullptr) {
        return -1;
    }
    std::atomic<bool>& fresh = secondSet ? m_freshOutputLevels : m_freshInputLevels;
    if (!fresh.exchange(false)) {
        return -1;
    }
    std::lock_guard<std::mutex> guard(m_meterLock);
    std::memcpy(out, secondSet ? m_meter.outputLevels : m_meter.inputLevels, sizeof(m_meter.inputLevels));
    return 4;
}

std::int32_t CobaltAmplifier::GetProtectionStatus(std::uint32_t out[2])
{
    if (out == nullptr) {
        return -1;
    }
    if (!m_freshStatus.exchange(false)) {
        return -1;
    }
    std::lock_guard<std::mutex> guard(m_meterLock);
    std::memcpy(out, m_meter.statusWords, sizeof(m_meter.statusWords));
    return 4;
}

bool CobaltAmplifier::SetHwStatusCallback(HwStatusCallback callback, void* context)
{
    std::lock_guard<std::mutex> guard(m_callbackLock);
    m_callback = callback;
    m_callbackContext = context;
    if (callback != nullptr) {
        m_forceCallback.store(true);
    }
    return true;
}

bool CobaltAmplifier::GetHardwareStatus(std::uint32_t* out)
{
    std::lock_guard<std::mutex> guard(m_hwLock);
    std::uint32_t word = 0;
    if (m_hwValid) {
        word = m_hwInfo.bytes[0];
        for (unsigned i = 0; i < 8; ++i) {
            if (m_hwInfo.bytes[4 + i] == 0) {
                word |= 1u << (8 + i);
            }
        }
        if (m_hwInfo.bytes[12] == 2) {
            word |= 1u << 16;
        }
    }
    if (out != nullptr) {
        *out = word;
    }
    return m_hwValid;
}

void CobaltAmplifier::SetNotifyWindow(WindowId window, MessageId message)
{
    std::lock_guard<std::mutex> guard(m_notifyLock);
    m_notifyWindow = window;
    m_notifyMessage = message;
}

// --- sessions ---

bool CobaltAmplifier::OpenWriteParamSession(IWriteParamSession** out)
{
    return out != nullptr && !m_ended.load() && m_sessionFactory.newWriteParamSession != nullptr &&
           m_sessionFactory.newWriteParamSession(this, out);
}

bool CobaltAmplifier::OpenReadParamSession(IReadParamSession** out)
{
    return out != nullptr && !m_ended.load() && m_sessionFactory.newReadParamSession != nullptr &&
           m_sessionFactory.newReadParamSession(this, ChannelClassOfModel(m_model), out);
}

bool CobaltAmplifier::OpenFirmwareUpdateSession(const std::filesystem::path& firmwareFile,
                                                IUpdateFirmwareSession** out)
{
    return out != nullptr && !m_ended.load() && m_sessionFactory.newFirmwareUpdateSession != nullptr &&
           m_sessionFactory.newFirmwareUpdateSession(this, firmwareFile, out);
}

bool CobaltAmplifier::SaveConfig(WindowId window, MessageId message)
{
    ProgressSynch* synch = nullptr;
    if (!CreateProgressSynch(&synch)) {
        return false;
    }
    ISaveConfigSession* session = nullptr;
    const bool created = NewSaveConfigSession(this, window, message, &session);
    bool queued = false;
    if (created) {
        // Nobody waits: the session's own posts tell the UI when the store begins and ends.
        queued = session->Start(synch);
        session->Release();
    }
    synch->Release();
    return queued;
}

bool CobaltAmplifier::Enqueue(ISessionX* session)
{
    if (session == nullptr) {
        return false;
    }
    {
        std::lock_guard<std::mutex> guard(m_sessionLock);
        if (!m_sessionsOpen) {
            return false;
        }
        session->AddRef();
        m_sessions.push_back(session);
    }
    if (m_sessionEvent) {
        m_sessionEvent->Set();
    }
    return true;
}

IDeviceLibrary& CobaltAmplifier::Library()
{
    return *m_library;
}

const AmplifierTimings& CobaltAmplifier::Timings()
{
    return m_timings;
}

}  // namespace CobaltDeviceManager
