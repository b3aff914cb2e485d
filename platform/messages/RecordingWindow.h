// A message window for tests: joins the registry on construction, leaves it on
// destruction, and records every message delivered to it, from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/messages/MessagePoster.h"

namespace platform {

class RecordingWindow {
public:
    RecordingWindow();
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    WindowId Id() const { return m_id; }

    // Everything delivered so far, in delivery order.
    std::vector<PostedMessage> Messages() const;
    // Only the messages with this id.
    std::vector<PostedMessage> Messages(MessageId message) const;

    // Waits until at least `count` messages with id `message` were delivered; false when
    // `timeout` passed first.
    bool WaitForCount(MessageId message, std::size_t count, std::chrono::milliseconds timeout) const;

    // Leaves the registry early, as a closed window does.
    void Close();

private:
    struct Log;
    class Target;

    std::shared_ptr<Log> m_log;  // shared with the target, which may outlive this object briefly
    WindowId m_id = kNoWindow;
};

}  // namespace platform
