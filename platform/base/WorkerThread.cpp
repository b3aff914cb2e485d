// The worker's flags and its "finished" event live in State, which the running thread
// shares, so a worker that outlives its WorkerThread (destroyed on the worker itself)
// still has them to write to.
#include "platform/base/WorkerThread.h"

#include <system_error>
#include <utility>

namespace platform {
namespace {

// The State of the worker running on this thread, if any. Thread ids are reused as soon
// as a thread ends, so "am I the worker" is asked of this instead; it stays set until
// the thread is gone, including while the body's captures are destroyed.
thread_local const void* t_currentWorker = nullptr;

}  // namespace

struct WorkerThread::State {
    std::atomic<bool> started{false};
    std::atomic<bool> finished{false};
    Event finishedEvent{ResetMode::Manual};
    Event resumeEvent{ResetMode::Manual};
};

WorkerThread::WorkerThread() : WorkerThread(std::make_shared<Event>(ResetMode::Manual)) {}

WorkerThread::WorkerThread(std::shared_ptr<Event> stopEvent)
    : m_stopEvent(stopEvent ? std::move(stopEvent) : std::make_shared<Event>(ResetMode::Manual)),
      m_state(std::make_shared<State>())
{
}

WorkerThread::~WorkerThread()
{
    RequestStop();
    Resume();
    std::thread thread;
    bool launched = false;
    bool onWorker = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        thread = std::move(m_thread);
        launched = m_launched;
        onWorker = t_currentWorker == m_state.get();
    }
    if (thread.joinable()) {
        if (onWorker) {
            thread.detach();
        } else {
            thread.join();
        }
    } else if (launched && !onWorker) {
        // Another caller took the thread to join it; do not go before the body has ended.
        m_state->finishedEvent.Wait();
    }
}

bool WorkerThread::Start(Body body, StartMode mode)
{
    if (!body) {
        return false;
    }
    // Held while the thread is created, so that a body calling Join at once finds it launched.
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_launched) {
        return false;
    }
    try {
        m_thread = std::thread([state = m_state, stopEvent = m_stopEvent, body = std::move(body)]() {
            t_currentWorker = state.get();
            // Every path that could leave this wait open (Join, destruction) resumes first.
            state->resumeEvent.Wait();
            state->started.store(true, std::memory_order_release);
            try {
                body(*stopEvent);
            } catch (...) {
                // Nothing may cross the thread boundary; the owner sees Finished().
            }
            state->finished.store(true, std::memory_order_release);
            state->finishedEvent.Set();
        });
    } catch (const std::system_error&) {
        return false;
    }
    m_launched = true;
    if (mode == StartMode::Running) {
        m_state->resumeEvent.Set();
    }
    return true;
}

void WorkerThread::Resume()
{
    m_state->resumeEvent.Set();
}

void WorkerThread::RequestStop()
{
    m_stopEvent->Set();
}

bool WorkerThread::Join()
{
    std::thread thread;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_launched) {
            return true;
        }
        if (t_currentWorker == m_state.get()) {
            return false;
        }
        thread = std::move(m_thread);
    }
    Resume();
    if (thread.joinable()) {
        thread.join();
    } else {
        // Already joined, or being joined by another caller right now.
        m_state->finishedEvent.Wait();
    }
    return true;
}

bool WorkerThread::StopAndJoin()
{
    RequestStop();
    return Join();
}

bool WorkerThread::Launched() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_launched;
}

bool WorkerThread::Started() const
{
    return m_state->started.load(std::memory_order_acquire);
}

bool WorkerThread::Finished() const
{
    return m_state->finished.load(std::memory_order_acquire);
}

bool WorkerThread::IsWorkerThread() const
{
    return t_currentWorker == m_state.get();
}

}  // namespace platform
