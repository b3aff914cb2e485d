// Thread on top of platform::WorkerThread. The thread starts suspended and is resumed
// only after the object is complete, so Run never sees a half-made Thread.
#include "device_manager/core/Thread.h"

#include <new>
#include <utility>

namespace CobaltDeviceManager {

Thread::Thread() = default;

Thread::~Thread()
{
    std::shared_ptr<platform::WorkerThread> thread;
    IThreadEntry* entry = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        thread = std::move(m_thread);
        entry = std::exchange(m_entry, nullptr);
    }
    // The WorkerThread stops and joins a thread that nobody stopped.
    thread.reset();
    if (entry != nullptr) {
        entry->Release();
    }
}

bool Thread::Create(IThreadEntry* entry, IThread** out, int priority)
{
    static_cast<void>(priority);
    if (entry == nullptr || out == nullptr) {
        return false;
    }
    auto* thread = new (std::nothrow) RCObject2<Thread, int>();
    if (thread == nullptr) {
        return false;
    }
    entry->AddRef();
    thread->m_entry = entry;
    thread->AddRef();

    try {
        thread->m_stopEvent = std::make_shared<platform::Event>(platform::ResetMode::Manual, false);
        thread->m_thread = std::make_shared<platform::WorkerThread>(thread->m_stopEvent);
    } catch (const std::bad_alloc&) {
        thread->Release();
        return false;
    }

    entry->AddRef();  // the worker's own, given back by ThreadProc
    bool started = false;
    try {
        started = thread->m_thread->Start([entry](platform::Event& stopEvent) { ThreadProc(entry, stopEvent); },
                                          platform::WorkerThread::StartMode::Suspended);
    } catch (const std::bad_alloc&) {
        started = false;
    }
    if (!started) {
        entry->Release();
        thread->m_thread.reset();
        thread->Release();
        return false;
    }
    thread->m_thread->Resume();
    *out = thread;
    return true;
}

void Thread::ThreadProc(IThreadEntry* entry, platform::Event& stopEvent)
{
    try {
        entry->Run(&stopEvent);
    } catch (...) {
        // The entry's failure ends the thread like a normal return.
    }
    entry->Release();
}

void Thread::RequestStop()
{
    if (m_stopEvent) {
        m_stopEvent->Set();
    }
}

bool Thread::StopAndWait()
{
    std::shared_ptr<platform::WorkerThread> thread;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        thread = m_thread;
    }
    if (!thread) {
        return true;
    }
    static_cast<IThread*>(this)->RequestStop();
    if (thread->IsWorkerThread()) {
        // A thread cannot wait for itself; the join is left to a later call from another
        // thread or to the destruction of this object.
        return false;
    }
    thread->Join();
    ForgetJoined(thread);
    // Nothing of this object may be touched from here: letting go of the entry may have
    // ended the owner, and the owner's end may have released this Thread.
    return true;
}

void Thread::Shutdown()
{
    static_cast<void>(StopAndWait());
}

void Thread::ForgetJoined(const std::shared_ptr<platform::WorkerThread>& joined)
{
    std::shared_ptr<platform::WorkerThread> dropped;
    IThreadEntry* entry = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        // Two callers may have joined together; the first one forgets.
        if (m_thread == joined) {
            dropped = std::move(m_thread);
            entry = std::exchange(m_entry, nullptr);
        }
    }
    dropped.reset();
    if (entry != nullptr) {
        entry->Release();
    }
}

}  // namespace CobaltDeviceManager
