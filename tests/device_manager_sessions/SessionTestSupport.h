// Stand-ins around the sessions: an amplifier-side controller whose queue the test runs
// by hand, progress and block sinks that record what they hear, and short timings.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "device_manager/amplifier/AmplifierTimings.h"
#include "device_manager/core/RefCounting.h"
#include "tests/support/FakeDeviceLibrary.h"
#include "device_manager/sessions/IParamSessions.h"
#include "device_manager/amplifier/AmplifierTimings.h"

namespace session_test {

using namespace CobaltDeviceManager;

SessionTimings ShortTimings();

// A default operation script changed by `edit`.
template <class Edit>
FakeOperationScript Edited(Edit edit)
{
    FakeOperationScript script;
    edit(script);
    return script;
}

class TestControllerImpl : public RCObjectRootEx<RCObjectMultiThreadModel>, public ISessionControllerX {
public:
    // Sessions take their timings from here: ShortTimings().
    explicit TestControllerImpl(FakeDeviceLibrary& library) : m_library(library) { m_timings.sessions = ShortTimings(); }
    ~TestControllerImpl();

    bool Enqueue(ISessionX* session) override;
    IDeviceLibrary& Library() override { return m_library; }
    const AmplifierTimings& Timings() override { return m_timings; }
    // Sessions made after a change take it.
    SessionTimings& EditSessionTimings() { return m_timings.sessions; }
    bool WaitDeviceReady(QdoHandle, platform::Event*) override { return m_ready; }
    // The controller has no block writes of its own; it counts the calls.
    void SettleBlockWrites(QdoHandle, platform::Event*, platform::Event*) override { ++m_settles; }
    int Settles() const { return m_settles.load(); }
    // What the ready wait answers.
    void SetReady(bool ready) { m_ready = ready; }

    // The amplifier's worker has ended: Enqueue refuses.
    void Refuse() { m_accept = false; }
    std::size_t Queued();
    // Runs the front session as the worker would; -2 when the queue is empty.
    std::int32_t RunNext(QdoHandle handle, platform::Event* stop);
    // Lets go of every queued session without running it, as a final release does.
    void Drain();

private:
    FakeDeviceLibrary& m_library;
    AmplifierTimings m_timings;
    bool m_accept = true;
    bool m_ready = true;
    std::atomic<int> m_settles{0};
    std::mutex m_lock;
    std::deque<ISessionX*> m_queue;  // guarded by m_lock; one reference each
};
using TestController = RCObject2<TestControllerImpl>;

class RecordingProgressImpl : public RCObjectRootEx<RCObjectMultiThreadModel>, public ICDM_Progress {
public:
    void OnProgress(std::int32_t code, std::int32_t value) override;
    void OnComplete(std::int32_t result) override;
    // "P code value" and "C result", in order.
    std::vector<std::string> Events();
    std::vector<std::string> Completions();
    // Waits for OnComplete; false when `timeout` passed first.
    bool WaitForCompletion(std::chrono::milliseconds timeout);

private:
    std::mutex m_lock;
    std::condition_variable m_completed;
    std::vector<std::string> m_events;  // guarded by m_lock
};
using RecordingProgress = RCObject2<RecordingProgressImpl>;

struct DeliveredBlock {
    std::int32_t type;
    std::int32_t channel;
    std::vector<std::uint8_t> data;
};

class RecordingBlocksImpl : public RCObjectRootEx<RCObjectMultiThreadModel>, public IReadParamSink {
public:
    void OnBlock(std::int32_t blockType, std::int32_t channel, const std::uint8_t* data, std::uint32_t size) override;
    std::vector<DeliveredBlock> Blocks();

private:
    std::mutex m_lock;
    std::vector<DeliveredBlock> m_blocks;  // guarded by m_lock
};
using RecordingBlocks = RCObject2<RecordingBlocksImpl>;

}  // namespace session_test
