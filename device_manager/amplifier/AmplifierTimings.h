// Every time-out and delay of the amplifier object in one record, with the designed values
// as defaults; tests shorten them.
#pragma once

#include <chrono>
#include <cstdint>

namespace CobaltDeviceManager {

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
};

}  // namespace CobaltDeviceManager
