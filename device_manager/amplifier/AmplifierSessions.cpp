// Global-setting and save-configuration sessions.
#include "device_manager/amplifier/AmplifierSessions.h"

#include <atomic>
#include <memory>
#include <new>

#include "device_manager/amplifier/AmplifierTimings.h"
#include "device_manager/core/RefCounting.h"
#include "device_manager/library/seam/DeviceOperation.h"
#include "platform/messages/MessagePoster.h"

namespace CobaltDeviceManager {
namespace {

// Holds a reference to an interface and lets go of it at the end.
template <class I>
class Held {
public:
    Held() = default;
    explicit Held(I* object) : m_object(object)
    {
        if (m_object != nullptr) {
            m_object->AddRef();
        }
    }
    ~Held() { Reset(nullptr); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    void Reset(I* object)
    {
        if (object != nullptr) {
            object->AddRef();
        }
        I* old = m_object;
        m_object = object;
        if (old != nullptr) {
            old->Release();
        }
    }
    I* Get() const { return m_object; }
    I* operator->() const { return m_object; }

private:
    I* m_object = nullptr;
};

OperationWait WaitOf(const AmplifierTimings& timings)
{
    return OperationWait{timings.operationPoll, timings.operationLimit, timings.cancelGrace};
}

// What both sessions share: the controller, the progress sink, and exactly one OnComplete
// on every path, including a session that was queued but let go of without running.
class SessionEnd {
public:
    explicit SessionEnd(ISessionControllerX* controller) : m_controller(controller) {}
    ~SessionEnd()
    {
        if (m_queued.load(std::memory_order_acquire)) {
            Complete(kSessionFailed);
        }
    }
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

    // Keeps the sink and queues `self`; false (and no sink kept) when the amplifier no
    // longer takes sessions.
    bool Queue(ISessionX* self, ICDM_Progress* progress)
    {
        m_progress.Reset(progress);
        m_queued.store(true, std::memory_order_release);
        if (!m_controller->Enqueue(self)) {
            m_queued.store(false, std::memory_order_release);
            m_progress.Reset(nullptr);
            return false;
        }
        return true;
    }

    void Complete(std::int32_t result)
    {
        if (m_completed.exchange(true, std::memory_order_acq_rel)) {
            return;
        }
        if (m_progress.Get() != nullptr) {
            m_progress->OnComplete(result);
        }
    }

    ISessionControllerX& Controller() const { return *m_controller.Get(); }

private:
    Held<ISessionControllerX> m_controller;
    Held<ICDM_Progress> m_progress;  // set by Queue on the UI thread before the session is queued
    std::atomic<bool> m_queued{false};
    std::atomic<bool> m_completed{false};
};

class UpdateGlobalSettingSession : public RCObjectRootEx<RCObjectMultiThreadModel>,
                                   public IUpdateGlobalSettingSession,
                                   public ISessionX {
public:
    UpdateGlobalSettingSession(ISessionControllerX* controller, IReflectGlobalSetting* reflect,
                               std::shared_ptr<QdoGlobalSettingInput> input)
        : m_end(controller), m_reflect(reflect), m_input(std::move(input))
    {
    }

    void Cancel() override {}

    bool Start(ICDM_Progress* progress) override { return m_end.Queue(this, progress); }

    std::int32_t Run(QdoHandle handle, platform::Event* stopEvent) override
    {
        IDeviceLibrary& library = m_end.Controller().Library();
        const AmplifierTimings& timings = m_end.Controller().Timings();
        DeviceOperation::Outcome outcome;
        {
            DeviceOperation operation(library, timings.gateLimit, stopEvent);
            const QdoGlobalSettingInput* input = m_input.get();
            outcome = operation.Run([&] { return library.UpgradeGlobalSetting(handle, input); }, m_input,
                                    WaitOf(timings), stopEvent);
        }
        if (outcome == DeviceOperation::Outcome::Succeeded) {
            m_reflect->ReflectGlobalSetting(*m_input);
            m_end.Complete(kSessionDone);
            return 1;
        }
        m_end.Complete(kSessionFailed);
        return 0;
    }

private:
    SessionEnd m_end;
    Held<IReflectGlobalSetting> m_reflect;
    // Shared with the library's operation, which may outlive an abandoned run.
    std::shared_ptr<QdoGlobalSettingInput> m_input;
};

class SaveConfigSession : public RCObjectRootEx<RCObjectMultiThreadModel>,
                          public ISaveConfigSession,
                          public ISessionX {
public:
    SaveConfigSession(ISessionControllerX* controller, platform::WindowId window, platform::MessageId message)
        : m_end(controller), m_window(window), m_message(message)
    {
    }

    void Cancel() override {}

    bool Start(ICDM_Progress* progress) override { return m_end.Queue(this, progress); }

    std::int32_t Run(QdoHandle handle, platform::Event* stopEvent) override
    {
        platform::PostWindowMessage(m_window, m_message, 1, 0);
        const bool stored = SendStoreConfigCommand(handle, stopEvent);
        platform::PostWindowMessage(m_window, m_message, 0, 0);
        m_end.Complete(stored ? kSessionDone : kSessionFailed);
        return stored ? 1 : 0;
    }

private:
    // The store is done only when the command succeeded and the amplifier is ready again
    // afterwards; the ready wait runs either way, so that the unlock notice comes after the
    // amplifier has settled.
    bool SendStoreConfigCommand(QdoHandle handle, platform::Event* stopEvent)
    {
        IDeviceLibrary& library = m_end.Controller().Library();
        const AmplifierTimings& timings = m_end.Controller().Timings();
        bool commandDone = false;
        {
            DeviceOperation operation(library, timings.gateLimit, stopEvent);
            if (!operation.Start([&] { return library.SendCommand(handle, 1, 0, 0); })) {
                return false;
            }
            commandDone = operation.Wait(WaitOf(timings), stopEvent) == DeviceOperation::Outcome::Succeeded;
        }
        const bool ready = m_end.Controller().WaitDeviceReady(handle, stopEvent);
        return commandDone && ready;
    }

    SessionEnd m_end;
    const platform::WindowId m_window;
    const platform::MessageId m_message;
};

}  // namespace

bool NewUpdateGlobalSettingSession(ISessionControllerX* controller, IReflectGlobalSetting* reflect,
                                   const QdoGlobalSettingInput& input, IUpdateGlobalSettingSession** out)
{
    if (controller == nullptr || reflect == nullptr || out == nullptr) {
        return false;
    }
    std::shared_ptr<QdoGlobalSettingInput> copy(new (std::nothrow) QdoGlobalSettingInput(input));
    if (!copy) {
        return false;
    }
    auto* session = CreateRCObject<RCObject2<UpdateGlobalSettingSession>>(controller, reflect, std::move(copy));
    if (session == nullptr) {
        return false;
    }
    *out = session;
    return true;
}

bool NewSaveConfigSession(ISessionControllerX* controller, platform::WindowId window, platform::MessageId message,
                          ISaveConfigSession** out)
{
    if (controller == nullptr || out == nullptr) {
        return false;
    }
    auto* session = CreateRCObject<RCObject2<SaveConfigSession>>(controller, window, message);
    if (session == nullptr) {
        return false;
    }
    *out = session;
    return true;
}

}  // namespace CobaltDeviceManager
