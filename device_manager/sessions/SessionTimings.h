// Every time-out and delay of the sessions, with the designed values as defaults; tests
// shorten them through InstallSessions.
#pragma once

#include <chrono>

namespace CobaltDeviceManager {

struct SessionTimings {
    using ms = std::chrono::milliseconds;

    ms readPoll{100};            // completion polls (and progress) of the parameter read
    ms writePoll{50};            // completion polls (and progress) of the parameter upload
    ms transferLimit{120000};    // a read or upload is cancelled after this long
    ms cancelGrace{2000};        // a cancelled operation is awaited this long, then abandoned
    ms gateLimit{5000};          // waiting for another thread's device operation to end
    ms firmwarePoll{50};         // polls of the firmware transfer, the resets and identity reads
    ms firmwareLimit{600000};    // the firmware transfer is given up after this long
    ms resetLimit{10000};        // the reset into the boot loader must complete within this
    ms bootLoaderWait{5000};     // pause before, and span of, the boot-loader identity checks
    ms bootLoaderRetry{500};     // between two identity checks
};

}  // namespace CobaltDeviceManager
