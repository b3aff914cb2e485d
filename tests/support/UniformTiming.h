// Protocol timings for tests: every wait of the packet protocol set to one value, reads in
// slices of another.
#pragma once

#include "device_library/src/protocol/ProtocolTiming.h"

namespace testing_support {

inline QuarryDriver::ProtocolTiming UniformTiming(int waitMs, int sliceMs)
{
    QuarryDriver::ProtocolTiming timing;
    timing.exchangeMs = waitMs;
    timing.replyReadSliceMs = sliceMs;
    timing.handshakeReadyMs = waitMs;
    timing.handshakeStepMs = waitMs;
    timing.readByIdReadyMs = waitMs;
    timing.flashWriteStartMs = waitMs;
    timing.mcuWriteStartMs = waitMs;
    return timing;
}

}  // namespace testing_support
