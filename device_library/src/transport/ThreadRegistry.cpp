// Threads started by the library, each with its parent, so "who started whom" can be asked.
#include "device_library/src/transport/ThreadRegistry.h"

#include "device_library/src/transport/BoundedLock.h"
#include "device_library/src/transport/LibraryWaits.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

namespace QuarryDriver {

struct ThreadRecord {
    std::thread thread;
    std::thread::id id;                // guarded by Registry::lock
    ThreadRecord* parent = nullptr;    // guarded by Registry::lock
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
};

namespace {

struct Registry {
    // Queries wait at most kLockWait for it; a thread's own start and end never give up.
    std::mutex lock;
    // The record of the thread that loaded the library; parent of every unregistered caller.
    ThreadRecord root;
    std::vector<std::unique_ptr<ThreadRecord>> records;  // guarded by lock

    Registry() { root.started = true; }

    ThreadRecord* FindLocked(std::thread::id id)
    {
        for (const auto& record : records) {
            if (record->id == id) {
                return record.get();
            }
        }
        return nullptr;
    }

    bool KnownLocked(ThreadHandle thread) const
    {
        return std::any_of(records.begin(), records.end(),
                           [thread](const auto& record) { return record.get() == thread; });
    }
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

}  // namespace

ThreadHandle StartThread(std::function<void()> body)
{
    Registry& registry = TheRegistry();
    ThreadRecord* record = nullptr;
    try {
        auto owned = std::make_unique<ThreadRecord>();
        record = owned.get();
        std::lock_guard<std::mutex> guard(registry.lock);
        ThreadRecord* parent = registry.FindLocked(std::this_thread::get_id());
        record->parent = parent != nullptr ? parent : &registry.root;
        registry.records.push_back(std::move(owned));
        try {
            // The new thread takes the registry lock before anything else, so it starts only
            // once its record is complete, the way a suspended thread is resumed.
            record->thread = std::thread([record, &registry, body = std::move(body)]() {
                { std::lock_guard<std::mutex> ready(registry.lock); }
                record->started = true;
                try {
                    body();
                } catch (...) {
                    // Nothing may leave a thread; the body's owner sees it as finished.
                }
                record->finished = true;
            });
            record->id = record->thread.get_id();
        } catch (...) {
            registry.records.pop_back();
            return nullptr;
        }
    } catch (...) {
        return nullptr;
    }
    while (!record->started) {
        std::this_thread::sleep_for(kPollInterval);
    }
    return record;
}

bool IsThreadFinished(ThreadHandle thread)
{
    return thread != nullptr && thread->finished;
}

ThreadHandle CurrentThread()
{
    Registry& registry = TheRegistry();
    BoundedLock guard(registry.lock, kLockWait);
    if (!guard.OwnsLock()) {
        return &registry.root;
    }
    ThreadRecord* record = registry.FindLocked(std::this_thread::get_id());
    return record != nullptr ? record : &registry.root;
}

bool DeleteThread(ThreadHandle thread)
{
    Registry& registry = TheRegistry();
    std::unique_ptr<ThreadRecord> owned;
    {
        BoundedLock guard(registry.lock, kLockWait);
        if (!guard.OwnsLock()) {
            return false;
        }
        auto it = std::find_if(registry.records.begin(), registry.records.end(),
                               [thread](const auto& record) { return record.get() == thread; });
        if (it == registry.records.end() || !thread->finished || thread->id == std::this_thread::get_id()) {
            return false;
        }
        for (const auto& record : registry.records) {
            if (record->parent == thread) {
                record->parent = thread->parent;
            }
        }
        owned = std::move(*it);
        registry.records.erase(it);
    }
    owned->thread.join();
    return true;
}

bool WaitAndDeleteThread(ThreadHandle thread)
{
    if (thread == nullptr) {
        return true;
    }
    while (!IsThreadFinished(thread)) {
        std::this_thread::sleep_for(kPollInterval);
    }
    return DeleteThread(thread);
}

}  // namespace QuarryDriver
