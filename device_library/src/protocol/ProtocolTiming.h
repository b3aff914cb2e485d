// Every time-out of the packet protocol in one record. The defaults are the amplifier's;
// tests shorten them.
#ifndef QUARRY_DRIVER_PROTOCOL_TIMING_H
#define QUARRY_DRIVER_PROTOCOL_TIMING_H

namespace QuarryDriver {

struct ProtocolTiming {
    int exchangeMs = 1000;          // every send and expected reply not named below
    int replyReadSliceMs = 200;     // longest single report read inside an expected reply
    int handshakeReadyMs = 1500;    // "READY"/"REA" of the handshake's first exchange
    int handshakeStepMs = 500;      // the handshake's "RE_MCU", second "READY" and "CNL" exchanges
    int readByIdReadyMs = 2000;     // "REA" waits of a read by id
    int flashWriteStartMs = 15000;  // "ACK" to "STA" of a flash write and a write by id (erase time)
    int mcuWriteStartMs = 5000;     // "ACK" to "STA" of an MCU write
};

}  // namespace QuarryDriver

#endif
