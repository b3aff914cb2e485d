// Runs the Qt event loop, with the idle pass a real loop would run, until a condition holds.
#pragma once

#include <chrono>
#include <functional>

namespace test_support {

// False when `limit` passed first: the generous limit only catches a hang.
bool PumpEventsUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds limit = std::chrono::seconds(20));

// Delivers the UI layer's posted messages, and those their handlers post in turn, until none
// is left (the event loop delivers them a pass at a time).
void DeliverAllPostedMessages();

}  // namespace test_support
