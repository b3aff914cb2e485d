// Stand-ins for the device manager's tests: a device library whose scan the test sets
// (everything else goes to the scripted fake), and amplifier objects that only record
// what the manager does with them.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_manager/amplifier/ICobaltAmplifierHandle.h"
#include "device_manager/core/RefCounting.h"
#include "tests/support/FakeDeviceLibrary.h"
#include "device_manager/manager/CDeviceManager.h"

namespace manager_test {

using namespace CobaltDeviceManager;

// The scripted fake, with scans set by serial number (entries named "Cobalt").
class ScanScriptLibrary final : public FakeDeviceLibrary {
public:
    void SetScan(const std::vector<std::string>& serials);
    FakeDeviceLibrary& Inner() { return *this; }
};

// What happened to the fake amplifier objects of one test.
struct AmplifierLog {
    std::mutex lock;
    std::vector<std::string> events;  // "make KEY", "open KEY", "present KEY 1", "end KEY"; guarded by lock
    int alive = 0;                    // guarded by lock
    std::vector<std::string> refuseOpen;  // keys whose open fails; guarded by lock
    // Like the device library: an open fails while another object is open and not ended.
    bool oneOpenAtATime = false;          // guarded by lock
    std::vector<std::string> open;        // keys open now; guarded by lock
    std::vector<std::chrono::steady_clock::time_point> openedAt;  // each open's start; guarded by lock
    bool holdOpens = false;               // opens wait (up to 10 s) while set; guarded by lock
    int opensHeld = 0;                    // opens waiting now; guarded by lock
    std::condition_variable opensReleased;

    void HoldOpens(bool hold);
    int OpensHeld();

    void Add(std::string event);
    std::vector<std::string> Events();
    int Alive();
    long Count(const std::string& event);
};

// The manager over `library` and `watcher` with fake amplifier objects logged in `log`.
std::unique_ptr<CDeviceManager> MakeManager(std::shared_ptr<IDeviceLibrary> library, DeviceWatcher& watcher,
                                            std::shared_ptr<AmplifierLog> log,
                                            const AmplifierTimings& timings = AmplifierTimings{});

std::string Narrow(const std::u16string& text);

}  // namespace manager_test
