// Library-wide registry of the threads the library starts, with who started whom.
// A thread started here runs its body, is then "finished", and is joined by DeleteThread.
#ifndef QUARRY_DRIVER_THREAD_REGISTRY_H
#define QUARRY_DRIVER_THREAD_REGISTRY_H

#include <functional>
#include <thread>

namespace QuarryDriver {

struct ThreadRecord;
using ThreadHandle = ThreadRecord*;

// Starts body on a new thread whose parent is the calling thread (or the load-time record when
// the caller was not started here). Returns once the thread runs, or null when it cannot start.
// The body must not throw; an escaping exception is caught and ends the thread.
ThreadHandle StartThread(std::function<void()> body);

// True once the body has returned. False for null.
bool IsThreadFinished(ThreadHandle thread);

// The calling thread's record, or the load-time record when it was not started here.
ThreadHandle CurrentThread();

// Joins and forgets a finished thread; its children move to its parent. False when the
// thread has not finished (nothing changes), is unknown, or is the calling thread itself.
bool DeleteThread(ThreadHandle thread);

// Polls every 10 ms until the thread has finished, then deletes it. True when it is gone (null
// counts as gone); false when the delete was refused, so the caller keeps the handle and
// tries again rather than leaving an unjoined thread behind.
bool WaitAndDeleteThread(ThreadHandle thread);

}  // namespace QuarryDriver

#endif
