// The device manager harness for end-to-end tests.
#include "tests/device_manager_sessions/ManagerHarness.h"

#include <cstdlib>

#include "device_manager/amplifier/CobaltAmplifier.h"
#include "device_manager/library/binding/QuarryDriverLibrary.h"
#include "device_manager/sessions/Sessions.h"
#include "tests/device_manager_sessions/PumpManager.h"

namespace e2e_test {

ManagerHarness::ManagerHarness(const AmplifierTimings& timings) : m_message(platform::RegisterMessage("_Kx_WmDeviceChanged_"))
{
    ::setenv("QUARRY_VIRTUAL_HID_DIR", m_folder.Path().c_str(), 1);
    platform::devices::MonitorSources sources;
    sources.hidraw = false;
    sources.virtualFolder = m_folder.Path();
    m_watcher = std::make_unique<DeviceWatcher>(sources);
    auto library = QuarryDriverLibrary();
    m_manager = std::make_unique<CDeviceManager>(
        library, *m_watcher,
        [library, timings, made = m_made](const std::u16string& key, ICobaltAmplifierHandle** out) {
            CobaltAmplifier* amplifier = nullptr;
            if (!CreateCobaltAmplifier(key, library, timings, ParamSessionFactory(), &amplifier)) {
                return false;
            }
            ++*made;
            *out = AsHandle(amplifier);
            return true;
        },
        [opened = m_opened](ICobaltAmplifierHandle* handle) {
            const bool open = static_cast<CobaltAmplifier*>(handle)->Open();
            *opened += open ? 1 : 0;
            return open;
        },
        timings);
    m_manager->SetNotifyTarget(m_window.Id(), m_message);
}

ManagerHarness::~ManagerHarness()
{
    m_manager.reset();
    m_watcher.reset();
}

std::size_t ManagerHarness::Notices() const
{
    return m_window.Messages(m_message).size();
}

bool ManagerHarness::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    return PumpManagerUntil(*m_manager, done, timeout, std::chrono::milliseconds(20));
}

ICobaltAmplifier* ManagerHarness::FirstAmplifier()
{
    ICobaltAmplifier* amplifier = nullptr;
    return m_manager->ForFirstActiveAmplifier(&amplifier) > 0 ? amplifier : nullptr;
}

}  // namespace e2e_test
