// Thread: creation, stop and join from anywhere and more than once, stop before Run,
// and what it holds of its entry.
#include "device_manager/core/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace CobaltDeviceManager {
namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 10s;

// What a test entry reports; outlives the entry.
struct EntryLog {
    std::atomic<int> runs{0};
    std::atomic<int> stopSeenAtStart{0};
    std::atomic<int> stopSeenAtEnd{0};
    std::atomic<int> destructions{0};
    platform::Event running{platform::ResetMode::Manual};
    platform::Event ended{platform::ResetMode::Manual};
};

class TestEntry : public RCObjectRootEx<RCObjectMultiThreadModel>, public IThreadEntry {
public:
    using Body = std::function<void(platform::Event*)>;

    TestEntry(EntryLog& log, Body body) : m_log(log), m_body(std::move(body)) {}

    std::uint32_t Run(platform::Event* stopEvent) override
    {
        ++m_log.runs;
        if (stopEvent->IsSignalled()) {
            ++m_log.stopSeenAtStart;
        }
        m_log.running.Set();
        m_body(stopEvent);
        if (stopEvent->IsSignalled()) {
            ++m_log.stopSeenAtEnd;
        }
        m_log.ended.Set();
        return 0;
    }

protected:
    ~TestEntry() { ++m_log.destructions; }

private:
    EntryLog& m_log;
    Body m_body;
};

using Entry = RCObject2<TestEntry>;

void WaitForStop(platform::Event* stopEvent)
{
    stopEvent->WaitFor(kHangGuard);
}

// The entry's count, read by adding and dropping one reference.
std::uint32_t CountOf(IThreadEntry* entry)
{
    entry->AddRef();
    return entry->Release();
}

TEST(Thread, RunsTheEntryOnAnotherThreadUntilStopped)
{
    EntryLog log;
    std::atomic<bool> otherThread{false};
    const auto creator = std::this_thread::get_id();
    IThreadEntry* entry = CreateRCObject<Entry>(log, [&](platform::Event* stop) {
        otherThread = std::this_thread::get_id() != creator;
        WaitForStop(stop);
    });
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(log.running.WaitFor(kHangGuard));
    EXPECT_FALSE(log.ended.IsSignalled());
    EXPECT_TRUE(thread->StopAndWait());
    EXPECT_TRUE(log.ended.IsSignalled());
    EXPECT_TRUE(otherThread.load());
    EXPECT_EQ(log.runs.load(), 1);
    EXPECT_EQ(log.stopSeenAtEnd.load(), 1);
    EXPECT_EQ(thread->Release(), 0u);
    EXPECT_EQ(entry->Release(), 0u);
    EXPECT_EQ(log.destructions.load(), 1);
}

TEST(Thread, HoldsTheEntryWhileRunningAndLetsGoAfterTheJoin)
{
    EntryLog log;
    IThreadEntry* entry = CreateRCObject<Entry>(log, WaitForStop);
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    ASSERT_TRUE(log.running.WaitFor(kHangGuard));
    EXPECT_GE(CountOf(entry), 2u);
    EXPECT_TRUE(thread->StopAndWait());
    EXPECT_EQ(CountOf(entry), 1u);
    thread->Release();
    EXPECT_EQ(CountOf(entry), 1u);
    entry->Release();
    EXPECT_EQ(log.destructions.load(), 1);
}

TEST(Thread, StopAndWaitAfterTheJoinReturnsTrueAtOnce)
{
    EntryLog log;
    IThreadEntry* entry = CreateRCObject<Entry>(log, WaitForStop);
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    EXPECT_TRUE(thread->StopAndWait());
    EXPECT_TRUE(thread->StopAndWait());
    thread->Shutdown();
    thread->RequestStop();
    EXPECT_TRUE(thread->StopAndWait());
    EXPECT_EQ(log.runs.load(), 1);
    thread->Release();
    entry->Release();
}

TEST(Thread, ShutdownStopsAndJoins)
{
    EntryLog log;
    IThreadEntry* entry = CreateRCObject<Entry>(log, WaitForStop);
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    thread->Shutdown();
    EXPECT_TRUE(log.ended.IsSignalled());
    EXPECT_EQ(CountOf(entry), 1u);
    thread->Release();
    entry->Release();
}

TEST(Thread, RequestStopOnlySignals)
{
    EntryLog log;
    platform::Event goOn(platform::ResetMode::Manual);
    IThreadEntry* entry = CreateRCObject<Entry>(log, [&](platform::Event* stop) {
        WaitForStop(stop);
        goOn.WaitFor(kHangGuard);
    });
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    thread->RequestStop();
    thread->RequestStop();
    goOn.Set();
    EXPECT_TRUE(thread->StopAndWait());
    EXPECT_EQ(log.stopSeenAtEnd.load(), 1);
    thread->Release();
    entry->Release();
}

// The stop usually lands before the new thread reaches Run; either way Run sees it and
// the thread ends. Repeated so both orders occur.
TEST(Thread, StopRequestedRightAfterCreateEndsTheThread)
{
    EntryLog log;
    IThreadEntry* entry = CreateRCObject<Entry>(log, WaitForStop);
    constexpr int kRounds = 50;
    for (int i = 0; i < kRounds; ++i) {
        IThread* thread = nullptr;
        ASSERT_TRUE(Thread::Create(entry, &thread));
        thread->RequestStop();
        EXPECT_TRUE(thread->StopAndWait());
        thread->Release();
    }
    EXPECT_EQ(log.runs.load(), kRounds);
    EXPECT_EQ(log.stopSeenAtEnd.load(), kRounds);
    EXPECT_EQ(entry->Release(), 0u);
}

TEST(Thread, EntryThatEndsByItselfIsJoinedAtOnce)
{
    EntryLog log;
    IThreadEntry* entry = CreateRCObject<Entry>(log, [](platform::Event*) {});
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    ASSERT_TRUE(log.ended.WaitFor(kHangGuard));
    EXPECT_TRUE(thread->StopAndWait());
    EXPECT_EQ(log.stopSeenAtEnd.load(), 0) << "it ended before anybody asked";
    thread->Release();
    entry->Release();
}

TEST(Thread, StopAndWaitFromItsOwnRunDoesNotWaitForItself)
{
    EntryLog log;
    std::atomic<IThread*> self{nullptr};
    platform::Event published(platform::ResetMode::Manual);
    std::atomic<int> selfResult{-1};
    IThreadEntry* entry = CreateRCObject<Entry>(log, [&](platform::Event* stop) {
        published.WaitFor(kHangGuard);
        selfResult = self.load()->StopAndWait() ? 1 : 0;
        self.load()->Shutdown();
        WaitForStop(stop);
    });
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    self = thread;
    published.Set();
    ASSERT_TRUE(log.ended.WaitFor(kHangGuard));
    EXPECT_EQ(selfResult.load(), 0);
    EXPECT_EQ(log.stopSeenAtEnd.load(), 1);
    EXPECT_TRUE(thread->StopAndWait()) << "another thread still joins it";
    EXPECT_EQ(CountOf(entry), 1u);
    thread->Release();
    entry->Release();
}

TEST(Thread, ReleasedWithoutStopItStopsAndJoins)
{
    EntryLog log;
    IThreadEntry* entry = CreateRCObject<Entry>(log, WaitForStop);
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    ASSERT_TRUE(log.running.WaitFor(kHangGuard));
    EXPECT_EQ(thread->Release(), 0u);
    EXPECT_TRUE(log.ended.IsSignalled());
    EXPECT_EQ(log.stopSeenAtEnd.load(), 1);
    EXPECT_EQ(CountOf(entry), 1u);
    entry->Release();
}

TEST(Thread, LastReferenceDroppedInsideRunLetsRunFinish)
{
    EntryLog log;
    std::atomic<IThread*> self{nullptr};
    platform::Event published(platform::ResetMode::Manual);
    IThreadEntry* entry = CreateRCObject<Entry>(log, [&](platform::Event* stop) {
        published.WaitFor(kHangGuard);
        self.load()->Release();  // the Thread is destroyed on its own thread
        WaitForStop(stop);       // its stop event is still there, and signalled
    });
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    self = thread;
    published.Set();
    ASSERT_TRUE(log.ended.WaitFor(kHangGuard));
    EXPECT_EQ(log.stopSeenAtEnd.load(), 1);
    // The worker gives its own reference back just after Run; wait for that, bounded.
    for (int i = 0; i < 1000 && CountOf(entry) != 1u; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(CountOf(entry), 1u);
    entry->Release();
    EXPECT_EQ(log.destructions.load(), 1);
}

TEST(Thread, TwoThreadsStoppingTogetherBothSeeTheEnd)
{
    EntryLog log;
    platform::Event release(platform::ResetMode::Manual);
    IThreadEntry* entry = CreateRCObject<Entry>(log, [&](platform::Event* stop) {
        WaitForStop(stop);
        release.WaitFor(kHangGuard);
    });
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    std::atomic<int> sawEnd{0};
    auto stopper = [&] {
        if (thread->StopAndWait() && log.ended.IsSignalled()) {
            ++sawEnd;
        }
    };
    std::thread first(stopper);
    std::thread second(stopper);
    std::this_thread::sleep_for(20ms);
    release.Set();
    first.join();
    second.join();
    EXPECT_EQ(sawEnd.load(), 2);
    EXPECT_EQ(CountOf(entry), 1u) << "the entry is let go exactly once";
    thread->Release();
    entry->Release();
}

TEST(Thread, CreateRefusesNullArgumentsAndLeavesTheOutPointer)
{
    EntryLog log;
    IThreadEntry* entry = CreateRCObject<Entry>(log, WaitForStop);
    IThread* sentinel = reinterpret_cast<IThread*>(&log);
    IThread* thread = sentinel;
    EXPECT_FALSE(Thread::Create(nullptr, &thread));
    EXPECT_EQ(thread, sentinel);
    EXPECT_FALSE(Thread::Create(entry, nullptr));
    EXPECT_EQ(CountOf(entry), 1u);
    EXPECT_EQ(log.runs.load(), 0);
    entry->Release();
}

TEST(Thread, QueryInterfaceRefuses)
{
    EntryLog log;
    IThreadEntry* entry = CreateRCObject<Entry>(log, WaitForStop);
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread, kThreadPriorityNormal));
    void* out = nullptr;
    EXPECT_EQ(thread->QueryInterface(InterfaceId{}, &out), kResultNoInterface);
    EXPECT_EQ(entry->QueryInterface(InterfaceId{1, 2, 3, {4}}, &out), kResultNoInterface);
    EXPECT_EQ(out, nullptr);
    thread->Release();
    entry->Release();
}

TEST(Thread, ExceptionFromRunEndsTheThreadLikeAReturn)
{
    EntryLog log;
    IThreadEntry* entry = CreateRCObject<Entry>(log, [](platform::Event*) { throw 42; });
    IThread* thread = nullptr;
    ASSERT_TRUE(Thread::Create(entry, &thread));
    EXPECT_TRUE(thread->StopAndWait());
    EXPECT_EQ(CountOf(entry), 1u);
    thread->Release();
    entry->Release();
    EXPECT_EQ(log.destructions.load(), 1);
}

}  // namespace
}  // namespace CobaltDeviceManager
