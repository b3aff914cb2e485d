// Posted messages become Qt events for a small receiver object that lives on the UI thread.
// Lifetime rule: the receiver is deleted only after the window has left the registry, and
// leaving waits for every delivery in progress, so no poster can touch a deleted receiver;
// deleting the receiver removes its pending events, so nothing is handled after that.
#include "platform/ui/core/MessageWindow.h"

#include <cassert>
#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include "platform/ui/core/UiThread.h"

namespace platform {
namespace {

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessageEvent final : public QEvent {
public:
    explicit PostedMessageEvent(const PostedMessage& message) : QEvent(kPostedMessageEvent), posted(message) {}
    PostedMessage posted;
};

// UI thread only: the windows that a send can reach.
std::unordered_map<WindowId, MessageWindow*>& LiveWindows()
{
    static auto* windows = new std::unordered_map<WindowId, MessageWindow*>;
    return *windows;
}

}  // namespace

class MessageWindow::Receiver final : public QObject {
public:
    explicit Receiver(MessageWindow& owner) : m_owner(owner) {}

    bool event(QEvent* event) override
    {
        if (event->type() != kPostedMessageEvent) {
            return QObject::event(event);
        }
        const PostedMessage& posted = static_cast<PostedMessageEvent*>(event)->posted;
        m_owner.Dispatch(posted.message, posted.wParam, posted.lParam);
        return true;
    }

private:
    MessageWindow& m_owner;
};

class MessageWindow::Target final : public IMessageTarget {
public:
    explicit Target(QObject* receiver) : m_receiver(receiver) {}

    // Runs on the posting thread under the registry's read lock; postEvent only queues.
    void Deliver(const PostedMessage& message) override
    {
        QCoreApplication::postEvent(m_receiver, new PostedMessageEvent(message));
    }

private:
    QObject* m_receiver;  // outlives this target's registration (see the lifetime rule)
};

MessageWindow::MessageWindow(Handler fallback) : m_receiver(std::make_unique<Receiver>(*this)), m_fallback(std::move(fallback))
{
    assert(IsUiThread() && "message windows are made on the UI thread");
    m_id = AddMessageWindow(std::make_shared<Target>(m_receiver.get()));
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
    QCoreApplication::removePostedEvents(m_receiver.get(), kPostedMessageEvent);
}

void MessageWindow::On(MessageId message, MessageHandler handler)
{
    m_handlers[message] = std::move(handler);
}

void MessageWindow::SetFallback(Handler fallback)
{
    m_fallback = std::move(fallback);
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
