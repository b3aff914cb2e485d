// Latency from a worker thread's post to its handling on the UI thread, the path every
// amplifier notice takes (write progress, save-configuration, session progress).
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

#include <QEventLoop>

#include "bench/ui/UiBench.h"
#include "platform/messages/MessagePoster.h"
#include "platform/ui/core/MessageWindow.h"

namespace {

constexpr int kPosts = 10000;

std::intptr_t NowNs()
{
    return static_cast<std::intptr_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

// Posts kPosts messages from a worker; paced: each waits until the one before was handled.
std::vector<double> MeasureMicroseconds(bool paced)
{
    const platform::MessageId message = platform::RegisterMessage("bench_ui_post_latency");
    std::vector<double> samples;
    samples.reserve(kPosts);
    std::atomic<int> handled{0};
    QEventLoop loop;
    platform::MessageWindow window([&](platform::MessageId, std::uintptr_t, std::intptr_t stamp) -> std::intptr_t {
        samples.push_back(static_cast<double>(NowNs() - stamp) / 1000.0);
        if (handled.fetch_add(1) + 1 == kPosts) {
            loop.quit();
        }
        return 0;
    });
    const platform::WindowId id = window.Id();
    std::thread worker([&] {
        for (int i = 0; i < kPosts; ++i) {
            platform::PostWindowMessage(id, message, static_cast<std::uintptr_t>(i), NowNs());
            while (paced && handled.load() <= i) {
                std::this_thread::yield();
            }
        }
    });
    loop.exec();
    worker.join();
    return samples;
}

}  // namespace

UI_BENCH(PostLatency)
{
    for (const bool paced : {true, false}) {
        std::vector<double> samples = MeasureMicroseconds(paced);
        const UiBenchFigures figures = Percentiles(samples);
        std::printf("post to handling, %d posts %s: median %.1f us, 99th percentile %.1f us\n", kPosts,
                    paced ? "one at a time" : "in one burst", figures.median, figures.p99);
    }
}
