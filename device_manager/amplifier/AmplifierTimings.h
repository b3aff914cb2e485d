// Every time-out and delay of the amplifier objects and of the device manager that keeps
// them in one record, with the designed values as defaults; tests shorten them.
#pragma once

#include <chrono>
#include <cstdint>

namespace CobaltDeviceManager {

// The sessions' share of the record.
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

struct AmplifierTimings {
    using ms = std::chrono::milliseconds;

    ms meterPeriod{100};        // meter polls while polling is on
    int pollsPerHardwareCheck = 10;
    ms operationPoll{50};       // completion polls of reads, writes and the connect
    ms meterPoll{100};          // completion polls of a meter read (waits on the stop event)
    ms cancelGrace{1000};       // a cancelled operation is awaited this long (10 sleeps, 11 checks)
    ms operationLimit{30000};   // any single operation is cancelled after this long
    ms connectLimit{60000};     // the connect worker is awaited this long
    ms gateLimit{5000};         // waiting for another thread's operation to finish
    int readyRounds = 50;       // reads of the ready flag before a block write
    ms readyPause{100};         // between two reads of the ready flag
    ms globalSettingWait{5000}; // mute and polarity writes
    ms disconnectLimit{5000};   // retries of a disconnect answered "busy"
    ms disconnectRetry{50};
    ms retryFirstPause{1000};   // a block the amplifier refused waits this long before it is sent again,
    ms retryLongestPause{30000}; // twice as long after each further refusal, up to this
    SessionTimings sessions;    // the write, read and firmware-update sessions it runs
    ms openRetryFirstPause{1000};    // the manager tries a listed amplifier it could not open again after
    ms openRetryLongestPause{10000}; // this long, twice as long after each further failure, up to this
};

}  // namespace CobaltDeviceManager
