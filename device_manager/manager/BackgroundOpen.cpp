// An amplifier opened on a thread of its own.
#include "device_manager/manager/BackgroundOpen.h"

#include <utility>

namespace CobaltDeviceManager {

BackgroundOpen::BackgroundOpen(std::function<void()> ended) : m_ended(std::move(ended)) {}

BackgroundOpen::~BackgroundOpen()
{
    std::u16string key;
    ICobaltAmplifierHandle* opened = nullptr;
    if (Take(true, &key, &opened) && opened != nullptr) {
        opened->End();
        opened->Release();
    }
}

bool BackgroundOpen::Start(const std::u16string& key, Opener open)
{
    if (Busy() || !open) {
        return false;
    }
    auto thread = std::make_unique<platform::WorkerThread>();
    auto result = std::make_shared<Result>();
    const bool started = thread->Start([result, key, open = std::move(open), ended = m_ended](platform::Event&) {
        ICobaltAmplifierHandle* opened = nullptr;
        try {
            opened = open(key);
        } catch (...) {
            opened = nullptr;
        }
        {
            std::lock_guard<std::mutex> guard(result->lock);
            result->opened = opened;
            result->ended = true;
        }
        if (ended) {
            ended();
        }
    });
    if (!started) {
        return false;
    }
    m_key = key;
    m_result = std::move(result);
    m_thread = std::move(thread);
    return true;
}

bool BackgroundOpen::Take(bool wait, std::u16string* key, ICobaltAmplifierHandle** opened)
{
    if (!Busy()) {
        return false;
    }
    if (!wait) {
        std::lock_guard<std::mutex> guard(m_result->lock);
        if (!m_result->ended) {
            return false;
        }
    }
    m_thread->Join();
    m_thread.reset();
    {
        std::lock_guard<std::mutex> guard(m_result->lock);
        *opened = std::exchange(m_result->opened, nullptr);
    }
    *key = std::move(m_key);
    m_result.reset();
    return true;
}

}  // namespace CobaltDeviceManager
