// Global-setting and save-configuration sessions.
#include "device_manager/amplifier/AmplifierSessions.h"

#include <memory>
#include <new>

#include "device_manager/amplifier/AmplifierTimings.h"
#include "device_manager/amplifier/SessionCore.h"
#include "device_manager/core/RefCounting.h"
#include "device_manager/core/RefHolder.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "device_manager/library/seam/DeviceOperation.h"
#include "platform/messages/MessagePoster.h"

namespace CobaltDeviceManager {
namespace {

OperationWait WaitOf(const AmplifierTimings& timings)
{
    return OperationWait{timings.operationPoll, timings.operationLimit, timings.cancelGrace};
}

class UpdateGlobalSettingSession : public RCObjectRootEx<RCObjectMultiThreadModel>,
                                   public IUpdateGlobalSettingSession,
                                   public ISessionX,
                                   private SessionCore {
public:
    UpdateGlobalSettingSession(ISessionControllerX* controller, IReflectGlobalSetting* reflect,
                               std::shared_ptr<QdoGlobalSettingInput> input)
        : SessionCore(controller), m_reflect(reflect), m_input(std::move(input))
    {
    }

    void Cancel() override {}

    bool Start(ICDM_Progress* progress) override { return Queue(this, progress); }

    void Discard() override { Complete(kSessionFailed); }

    std::int32_t Run(QdoHandle handle, platform::Event* stopEvent) override
    {
        IDeviceLibrary& library = Library();
        const AmplifierTimings& timings = Controller().Timings();
        DeviceOperation::Outcome outcome;
        {
            DeviceOperation operation(library, timings.gateLimit, stopEvent);
            const QdoGlobalSettingInput* input = m_input.get();
            outcome = operation.Run([&] { return library.UpgradeGlobalSetting(handle, input); }, m_input,
                                    WaitOf(timings), stopEvent);
        }
        if (outcome == DeviceOperation::Outcome::Succeeded) {
            m_reflect->ReflectGlobalSetting(*m_input);
            Complete(kSessionDone);
            return 1;
        }
        Complete(kSessionFailed);
        return 0;
    }

private:
    RefHolder<IReflectGlobalSetting> m_reflect;
    // Shared with the library's operation, which may outlive an abandoned run.
    std::shared_ptr<QdoGlobalSettingInput> m_input;
};

class SaveConfigSession : public RCObjectRootEx<RCObjectMultiThreadModel>,
                          public ISaveConfigSession,
                          public ISessionX,
                          private SessionCore {
public:
    SaveConfigSession(ISessionControllerX* controller, platform::WindowId window, platform::MessageId message)
        : SessionCore(controller), m_window(window), m_message(message)
    {
    }

    void Cancel() override {}

    bool Start(ICDM_Progress* progress) override { return Queue(this, progress); }

    void Discard() override { Complete(kSessionFailed); }

    std::int32_t Run(QdoHandle handle, platform::Event* stopEvent) override
    {
        platform::PostWindowMessage(m_window, m_message, kSaveConfigBegins, 0);
        const bool stored = SendStoreConfigCommand(handle, stopEvent);
        // The window learns the outcome with the unlock, so that a store that failed is
        // never taken for one that happened.
        platform::PostWindowMessage(m_window, m_message, kSaveConfigEnds,
                                    stored ? kSaveConfigStored : kSaveConfigNotStored);
        Complete(stored ? kSessionDone : kSessionFailed);
        return stored ? 1 : 0;
    }

private:
    // The store is done only when the command succeeded and the amplifier is ready again
    // afterwards; the ready wait runs either way, so that the unlock notice comes after the
    // amplifier has settled.
    bool SendStoreConfigCommand(QdoHandle handle, platform::Event* stopEvent)
    {
        IDeviceLibrary& library = Library();
        const AmplifierTimings& timings = Controller().Timings();
        bool commandDone = false;
        {
            DeviceOperation operation(library, timings.gateLimit, stopEvent);
            if (!operation.Start([&] { return library.SendCommand(handle, 1, 0, 0); })) {
                return false;
            }
            commandDone = operation.Wait(WaitOf(timings), stopEvent) == DeviceOperation::Outcome::Succeeded;
        }
        const bool ready = Controller().WaitDeviceReady(handle, stopEvent);
        return commandDone && ready;
    }

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
