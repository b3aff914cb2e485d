// A scripted amplifier behind the fake device library: identity, hardware bytes, meter
// record, ready flag and global settings that tests change while the amplifier object
// runs, plus per-operation latency, failure and cancel behaviour.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device_manager/amplifier/AmplifierTimings.h"
#include "device_manager/amplifier/CobaltAmplifier.h"
#include "tests/support/FakeDeviceLibrary.h"

namespace CobaltDeviceManager::testing {

struct OperationBehaviour {
    std::chrono::milliseconds latency{0};
    FakeCancelReaction cancelReaction = FakeCancelReaction::EndsAtOnce;
    // The next `failures` operations of this kind end unsuccessfully.
    int failures = 0;
};

class ScriptedAmplifier {
public:
    ScriptedAmplifier();

    std::shared_ptr<FakeDeviceLibrary> library = std::make_shared<FakeDeviceLibrary>();

    // Device state (any thread).
    void SetIdentity(std::uint8_t modelCode, const std::string& version);
    void SetHwInfo(const std::array<std::uint8_t, 13>& bytes);
    void SetMeterBytes(const std::array<std::uint8_t, 44>& bytes);
    void SetReady(std::uint8_t ready);
    void SetGlobalRecord(char polarity, char mute);
    void SetBehaviour(FakeOperationKind kind, const OperationBehaviour& behaviour);
    // Meter reads (id 1) apart from ready reads (id 2), which share the operation kind.
    void SetMeterBehaviour(const OperationBehaviour& behaviour);
    void SetReadyBehaviour(const OperationBehaviour& behaviour);

    // Calls seen, by kind, and meter reads apart.
    std::size_t MeterReads() const;
    std::size_t ReadyReads() const;
    std::size_t Count(FakeOperationKind kind) const { return library->CountCalls(kind); }

private:
    struct State;
    static FakeOperationScript Script(State& state, const FakeOperationCall& call);

    std::shared_ptr<State> m_state;
};

// Timings that keep the designed shape but make the slow parts quick.
AmplifierTimings QuickTimings();

// Creates and opens an amplifier for `key` that opens the sessions of `sessions`; null when
// the open fails (then nothing is held).
CobaltAmplifier* OpenAmplifier(ScriptedAmplifier& device, const AmplifierTimings& timings,
                               const std::u16string& key = u"SER1", bool* opened = nullptr,
                               const SessionFactory& sessions = SessionFactory{});

// Stores a block of `type` whose coefficients and parameters are all `fill`.
bool StoreFilledBlock(CobaltAmplifier& amplifier, std::int32_t type, std::int32_t channel, std::uint8_t fill);

// Drops the caller's external reference.
void ReleaseAmplifier(CobaltAmplifier*& amplifier);

// Polls `condition` every millisecond until it holds or `timeout` passes; the bound only
// catches a hang, so it is generous for sanitizer builds on a busy machine.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(30))
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace CobaltDeviceManager::testing
