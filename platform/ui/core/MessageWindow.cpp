// One queue for every posted message, guarded by our own mutex; posters push and wake the UI
// thread's event dispatcher (wakeUp is the dispatcher's thread-safe call), and the UI thread
// delivers what is queued whenever its dispatcher wakes or is about to wait. A message goes to the
// window that has its id at that moment, or nowhere: windows leave the registry (so no new
// post is accepted) and the live-window table before they are destroyed.
#include "platform/ui/core/MessageWindow.h"

#include <cassert>
#include <deque>
#include <mutex>
#include <utility>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "platform/ui/core/UiThread.h"

namespace platform {
namespace {

struct Pump {
    std::mutex lock;                                   // guards queue and dispatcher
    std::deque<PostedMessage> queue;
    QAbstractEventDispatcher* dispatcher = nullptr;    // the UI thread's, once connected
    QMetaObject::Connection awake;                     // UI thread only
    QMetaObject::Connection aboutToBlock;              // UI thread only
};

// Never destroyed: workers may post until the process ends.
Pump& ThePump()
{
    static Pump* pump = new Pump;
    return *pump;
}

// UI thread only: the windows that a message can reach.
std::unordered_map<WindowId, MessageWindow*>& LiveWindows()
{
    static auto* windows = new std::unordered_map<WindowId, MessageWindow*>;
    return *windows;
}

void ConnectPump()
{
    Pump& pump = ThePump();
    if (pump.awake) {
        return;
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread());
    if (dispatcher == nullptr) {
        return;
    }
    pump.awake = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, dispatcher, DeliverPostedMessages);
    pump.aboutToBlock = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, dispatcher,
                                         DeliverPostedMessages);
    std::lock_guard<std::mutex> guard(pump.lock);
    pump.dispatcher = dispatcher;
}

}  // namespace

class MessageWindow::Target final : public IMessageTarget {
public:
    // Runs on the posting thread under the registry's read lock; only queues and wakes.
    void Deliver(const PostedMessage& message) override
    {
        Pump& pump = ThePump();
        std::lock_guard<std::mutex> guard(pump.lock);
        const bool wasEmpty = pump.queue.empty();
        pump.queue.push_back(message);
        // Waking for the first message is enough: the loop delivers the queue every time it
        // is about to wait (nested loops too), and wakes itself again for whatever was queued
        // meanwhile, so it never waits with messages queued.
        if (wasEmpty && pump.dispatcher != nullptr) {
            pump.dispatcher->wakeUp();
        }
    }
};

MessageWindow::MessageWindow(Handler fallback) : m_fallback(std::move(fallback))
{
    assert(IsUiThread() && "message windows are made on the UI thread");
    ConnectPump();
    m_id = AddMessageWindow(std::make_shared<Target>());
    LiveWindows().emplace(m_id, this);
}

MessageWindow::~MessageWindow()
{
    Close();
}

void MessageWindow::Close()
{
    if (m_id == kNoWindow) {
        return;
    }
    RemoveMessageWindow(m_id);
    LiveWindows().erase(m_id);
    m_id = kNoWindow;
}

void MessageWindow::On(MessageId message, MessageHandler handler)
{
    m_handlers[message] = std::move(handler);
}

bool MessageWindow::Post(MessageId message, std::uintptr_t wParam, std::intptr_t lParam) const
{
    return PostWindowMessage(m_id, message, wParam, lParam);
}

std::intptr_t MessageWindow::Dispatch(MessageId message, std::uintptr_t wParam, std::intptr_t lParam)
{
    // Copies: the handler may replace itself or destroy this window while it runs.
    if (auto found = m_handlers.find(message); found != m_handlers.end()) {
        MessageHandler handler = found->second;
        return handler(wParam, lParam);
    }
    if (m_fallback) {
        Handler fallback = m_fallback;
        return fallback(message, wParam, lParam);
    }
    return 0;
}

void DeliverPostedMessages()
{
    if (!IsUiThread()) {
        return;
    }
    Pump& pump = ThePump();
    // Only as many as were queued when the pass began: a worker that posts faster than the
    // handlers run must not keep the UI thread here, away from input and painting.
    std::size_t budget = 0;
    {
        std::lock_guard<std::mutex> guard(pump.lock);
        budget = pump.queue.size();
    }
    // One at a time: a handler may run a nested loop that delivers the next ones.
    for (; budget > 0; --budget) {
        PostedMessage message;
        {
            std::lock_guard<std::mutex> guard(pump.lock);
            if (pump.queue.empty()) {
                return;
            }
            message = pump.queue.front();
            pump.queue.pop_front();
        }
        auto found = LiveWindows().find(message.window);
        if (found != LiveWindows().end()) {
            found->second->Dispatch(message.message, message.wParam, message.lParam);
        }
    }
    // Queued meanwhile: the loop comes round once more before it waits.
    std::lock_guard<std::mutex> guard(pump.lock);
    if (!pump.queue.empty() && pump.dispatcher != nullptr) {
        pump.dispatcher->wakeUp();
    }
}

bool HasPostedMessages()
{
    Pump& pump = ThePump();
    std::lock_guard<std::mutex> guard(pump.lock);
    return !pump.queue.empty();
}

void DetachMessagePump()
{
    Pump& pump = ThePump();
    QObject::disconnect(pump.awake);
    QObject::disconnect(pump.aboutToBlock);
    pump.awake = {};
    pump.aboutToBlock = {};
    std::lock_guard<std::mutex> guard(pump.lock);
    pump.dispatcher = nullptr;
}

bool SendWindowMessage(WindowId window, MessageId message, std::uintptr_t wParam, std::intptr_t lParam,
                       std::intptr_t* result)
{
    if (!IsUiThread()) {
        assert(false && "SendWindowMessage from a thread other than the UI thread");
        return false;
    }
    auto found = LiveWindows().find(window);
    if (found == LiveWindows().end() || message == kNoMessage) {
        return false;
    }
    const std::intptr_t answer = found->second->Dispatch(message, wParam, lParam);
    if (result != nullptr) {
        *result = answer;
    }
    return true;
}

bool IsMessageWindow(WindowId window)
{
    return IsUiThread() && LiveWindows().count(window) != 0;
}

}  // namespace platform
