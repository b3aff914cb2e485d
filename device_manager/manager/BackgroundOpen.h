// One amplifier opened away from the UI thread. A retried open must never hold the UI for
// the connect and identity reads of an amplifier that does not answer (seconds each time),
// so the manager's retries open here and take the result on the UI thread afterwards.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "device_manager/amplifier/ICobaltAmplifierHandle.h"
#include "platform/base/WorkerThread.h"

namespace CobaltDeviceManager {

class BackgroundOpen {
public:
    // Makes and opens the amplifier for a key; the opened object with one reference, or null.
    using Opener = std::function<ICobaltAmplifierHandle*(const std::u16string& key)>;

    // `ended` is called on the opening thread as each open ends; it may only signal.
    explicit BackgroundOpen(std::function<void()> ended);
    // Waits for an open that runs; an opened amplifier nobody took is ended and released.
    ~BackgroundOpen();
    BackgroundOpen(const BackgroundOpen&) = delete;
    BackgroundOpen& operator=(const BackgroundOpen&) = delete;

    // Starts opening `key` on a thread of its own. False while another open is busy.
    bool Start(const std::u16string& key, Opener open);
    // An open was started and its result not taken yet.
    bool Busy() const { return m_thread != nullptr; }

    // The result of the open once it has ended (with `wait`, waiting for it): true with its
    // key and the opened amplifier (null when the open failed; the caller's reference).
    // False when none is busy, or without `wait` when it still runs.
    bool Take(bool wait, std::u16string* key, ICobaltAmplifierHandle** opened);

private:
    struct Result {
        std::mutex lock;
        bool ended = false;                       // guarded by lock
        ICobaltAmplifierHandle* opened = nullptr;  // guarded by lock; one reference
    };

    const std::function<void()> m_ended;
    std::u16string m_key;
    std::shared_ptr<Result> m_result;
    std::unique_ptr<platform::WorkerThread> m_thread;  // null while none is busy
};

}  // namespace CobaltDeviceManager
