// Stand-ins around the sessions.
#include "tests/device_manager_sessions/SessionTestSupport.h"

namespace session_test {

SessionTimings ShortTimings()
{
    using ms = std::chrono::milliseconds;
    SessionTimings timings;
    timings.readPoll = ms(5);
    timings.writePoll = ms(5);
    timings.transferLimit = ms(10000);
    timings.cancelGrace = ms(1000);
    timings.gateLimit = ms(2000);
    timings.firmwarePoll = ms(5);
    timings.firmwareLimit = ms(10000);
    timings.resetLimit = ms(2000);
    timings.bootLoaderWait = ms(60);
    timings.bootLoaderRetry = ms(10);
    return timings;
}

TestControllerImpl::~TestControllerImpl()
{
    Drain();
}

bool TestControllerImpl::Enqueue(ISessionX* session)
{
    if (!m_accept || session == nullptr) {
        return false;
    }
    session->AddRef();
    std::lock_guard<std::mutex> guard(m_lock);
    m_queue.push_back(session);
    return true;
}

std::size_t TestControllerImpl::Queued()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_queue.size();
}

std::int32_t TestControllerImpl::RunNext(QdoHandle handle, platform::Event* stop)
{
    ISessionX* session = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_queue.empty()) {
            return -2;
        }
        session = m_queue.front();
        m_queue.pop_front();
    }
    const std::int32_t result = session->Run(handle, stop);
    session->Release();
    return result;
}

void TestControllerImpl::Drain()
{
    std::deque<ISessionX*> sessions;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        sessions.swap(m_queue);
    }
    for (ISessionX* session : sessions) {
        session->Discard();
        session->Release();
    }
}

void RecordingProgressImpl::OnProgress(std::int32_t code, std::int32_t value)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_events.push_back("P " + std::to_string(code) + " " + std::to_string(value));
}

void RecordingProgressImpl::OnComplete(std::int32_t result)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_events.push_back("C " + std::to_string(result));
    m_completed.notify_all();
}

bool RecordingProgressImpl::WaitForCompletion(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> guard(m_lock);
    return m_completed.wait_for(guard, timeout, [&] {
        for (const std::string& event : m_events) {
            if (event[0] == 'C') {
                return true;
            }
        }
        return false;
    });
}

std::vector<std::string> RecordingProgressImpl::Events()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_events;
}

std::vector<std::string> RecordingProgressImpl::Completions()
{
    std::vector<std::string> result;
    for (const std::string& event : Events()) {
        if (event[0] == 'C') {
            result.push_back(event);
        }
    }
    return result;
}

void RecordingBlocksImpl::OnBlock(std::int32_t blockType, std::int32_t channel, const std::uint8_t* data,
                                  std::uint32_t size)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_blocks.push_back({blockType, channel, std::vector<std::uint8_t>(data, data + size)});
}

std::vector<DeliveredBlock> RecordingBlocksImpl::Blocks()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_blocks;
}

}  // namespace session_test
