// A std::thread with a stop event and started/finished flags, in place of the class
// library's worker threads. Stop and join may be called any number of times, from any
// thread, including the worker itself.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/base/Event.h"

namespace platform {

class WorkerThread {
public:
    // The body runs on the new thread and is handed the stop event; it should return
    // soon after the event is signalled. An exception leaving it is swallowed.
    using Body = std::function<void(Event& stopEvent)>;

    // With its own manual-reset stop event, not signalled.
    WorkerThread();
    // With a stop event shared with the owner (which may signal it without this object).
    explicit WorkerThread(std::shared_ptr<Event> stopEvent);
    // Requests a stop and joins. On the worker itself it cannot join, so it lets the
    // thread run to its end on its own; the body's own state stays alive until then.
    ~WorkerThread();

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    enum class StartMode { Running, Suspended };

    // Starts the body once. A Suspended thread waits before its body until Resume (or
    // Join, or destruction, which resume it so that it can see the stop and end).
    // False if already started or the thread could not be created.
    bool Start(Body body, StartMode mode = StartMode::Running);

    // Lets a suspended thread run its body; no effect otherwise.
    void Resume();

    // Signals the stop event.
    void RequestStop();

    // Waits until the body has returned. True when it has (or nothing was started);
    // false at once when called from the worker itself, which cannot wait for itself.
    bool Join();

    // RequestStop, then Join.
    bool StopAndJoin();

    // Start succeeded.
    bool Launched() const;
    // The body has begun to run.
    bool Started() const;
    // The body has returned.
    bool Finished() const;
    // The caller is the worker thread.
    bool IsWorkerThread() const;

    Event& StopEvent() { return *m_stopEvent; }

private:
    struct State;

    std::shared_ptr<Event> m_stopEvent;
    std::shared_ptr<State> m_state;  // shared with the running thread

    mutable std::mutex m_lock;  // guards m_thread and m_launched
    std::thread m_thread;       // empty once somebody has taken it to join
    bool m_launched = false;
};

}  // namespace platform
