// The recording message window used by tests of code that posts to windows.
#include "platform/messages/RecordingWindow.h"

#include <algorithm>

namespace platform {

struct RecordingWindow::Log {
    mutable std::mutex lock;  // guards messages
    mutable std::condition_variable changed;
    std::vector<PostedMessage> messages;
};

class RecordingWindow::Target final : public IMessageTarget {
public:
    explicit Target(std::shared_ptr<Log> log) : m_log(std::move(log)) {}

    void Deliver(const PostedMessage& message) override
    {
        {
            std::lock_guard<std::mutex> guard(m_log->lock);
            m_log->messages.push_back(message);
        }
        m_log->changed.notify_all();
    }

private:
    std::shared_ptr<Log> m_log;
};

RecordingWindow::RecordingWindow() : m_log(std::make_shared<Log>())
{
    m_id = AddMessageWindow(std::make_shared<Target>(m_log));
}

RecordingWindow::~RecordingWindow()
{
    Close();
}

void RecordingWindow::Close()
{
    if (m_id != kNoWindow) {
        RemoveMessageWindow(m_id);
    }
}

std::vector<PostedMessage> RecordingWindow::Messages() const
{
    std::lock_guard<std::mutex> guard(m_log->lock);
    return m_log->messages;
}

std::vector<PostedMessage> RecordingWindow::Messages(MessageId message) const
{
    std::vector<PostedMessage> result;
    std::lock_guard<std::mutex> guard(m_log->lock);
    std::copy_if(m_log->messages.begin(), m_log->messages.end(), std::back_inserter(result),
                 [message](const PostedMessage& posted) { return posted.message == message; });
    return result;
}

bool RecordingWindow::WaitForCount(MessageId message, std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> guard(m_log->lock);
    return m_log->changed.wait_for(guard, timeout, [&] {
        return static_cast<std::size_t>(std::count_if(m_log->messages.begin(), m_log->messages.end(),
                                                      [message](const PostedMessage& posted) {
                                                          return posted.message == message;
                                                      })) >= count;
    });
}

}  // namespace platform
