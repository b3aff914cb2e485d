#include "tests/support/PumpEvents.h"

#include <QCoreApplication>
#include <thread>

#include "platform/ui/core/IdlePass.h"
#include "platform/ui/core/MessageWindow.h"

namespace test_support {

bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        platform::RunIdlePass();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void DeliverAllPostedMessages()
{
    // Enough for any chain of posts that ends; a source that never stops posting is cut here.
    for (int pass = 0; pass < 1000 && platform::HasPostedMessages(); ++pass) {
        platform::DeliverPostedMessages();
    }
}

}  // namespace test_support
