// A window as message receivers know it, on Qt: an object owned by a widget (or any UI
// object) that gives it a WindowId, receives posted messages on the UI thread in the order
// they were posted, and answers sent ones at once.
//
// Posting (PostWindowMessage, or Post below) is safe from any thread: the message goes into
// one queue of the UI layer and the UI thread's event loop is woken; the loop hands the
// queue out each time it wakes or is about to wait, nested loops (a modal dialog run by a
// handler) included, as the system's modal loops did. A message whose window has gone by
// then is dropped; a post racing with the window's destruction is either queued (and then
// dropped) or refused with false. Posters touch nothing but that queue, so no memory passes
// between threads behind the toolkit's back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

#include "platform/messages/MessagePoster.h"

namespace platform {

class MessageWindow {
public:
    using Handler = std::function<std::intptr_t(MessageId message, std::uintptr_t wParam, std::intptr_t lParam)>;
    using MessageHandler = std::function<std::intptr_t(std::uintptr_t wParam, std::intptr_t lParam)>;

    // UI thread only. Messages without a handler of their own go to `fallback` (0 without).
    explicit MessageWindow(Handler fallback = {});
    // Leaves the registry first, so no post reaches this window any more.
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // kNoWindow after Close.
    WindowId Id() const { return m_id; }

    // A handler for one message id (replaces an earlier one for the same id).
    void On(MessageId message, MessageHandler handler);

    // PostWindowMessage to this window.
    bool Post(MessageId message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) const;
    // Runs the handler now, on the calling (UI) thread; what a send does. A handler may
    // destroy this window.
    std::intptr_t Dispatch(MessageId message, std::uintptr_t wParam, std::intptr_t lParam);

    // Leaves the registry early, as a window that is being closed: later posts return false
    // and messages still queued are dropped.
    void Close();

private:
    class Target;

    WindowId m_id = kNoWindow;
    std::unordered_map<MessageId, MessageHandler> m_handlers;
    Handler m_fallback;
};

// Sends a message to a window of this process and returns once its handler has run. Only
// on the UI thread: from any other thread (which would have to wait for the UI thread, and
// could deadlock with it) the send is refused. False, and *result untouched, when refused
// or when no such window exists.
bool SendWindowMessage(WindowId window, MessageId message, std::uintptr_t wParam, std::intptr_t lParam,
                       std::intptr_t* result = nullptr);

// True while a MessageWindow with this id exists (UI thread).
bool IsMessageWindow(WindowId window);

// Hands the messages queued now to their windows, in order; those posted meanwhile wait for
// the next pass (the event loop does this by itself, and comes round again for them).
void DeliverPostedMessages();
// True while posted messages wait in the queue (any thread may ask; the answer may be
// stale by the time it is used).
bool HasPostedMessages();
// Used by the UI layer before the application object goes: posts are still queued, but the
// event loop is no longer woken for them.
void DetachMessagePump();

}  // namespace platform
