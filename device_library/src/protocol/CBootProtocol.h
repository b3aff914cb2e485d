// The amplifier's 64-byte packet protocol on top of the HID transport: every step type a job
// can hold. The host says "READY" before each request and waits for "REA"; bulk data goes in
// 60-byte packets from the device (0xFF runs skipped by count) and 256-byte blocks to it.
#ifndef QUARRY_DRIVER_CBOOT_PROTOCOL_H
#define QUARRY_DRIVER_CBOOT_PROTOCOL_H

#include <atomic>
#include <cstdint>
#include <string>

#include "device_library/src/protocol/ProtocolTiming.h"
#include "device_library/src/transport/CHidTransport.h"

namespace QuarryDriver {

class CBootProtocol : public CHidTransport {
public:
    explicit CBootProtocol(DeviceLocator locator, const ProtocolTiming& timing = ProtocolTiming{});
    ~CBootProtocol() override;

    const ProtocolTiming& Timing() const { return timing_; }

protected:
    int HandshakeStep(std::uint32_t* outFlag) override;
    int IdentityTestStep(std::uint32_t* outValue) override;
    int FlashReadStep(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) override;
    int McuReadStep(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) override;
    int FlashWriteStep(std::uint32_t address, std::uint32_t length, const std::uint8_t* data,
                       std::uint32_t lastSegment) override;
    int McuWriteStep(std::uint32_t address, std::uint32_t length, const std::uint8_t* data,
                     std::uint32_t lastSegment) override;
    int ResetStep() override;
    int ReadByIdStep(std::uint32_t id, std::uint32_t length, std::uint8_t* buffer) override;
    int WriteByIdStep(std::uint32_t id, std::uint32_t length, const std::uint8_t* data,
                      std::uint32_t lastSegment) override;
    int CommandStep(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3) override;

    int CheckStepType(std::uint32_t type, const StepArgs& args) override;
    int AddStepTotal(std::uint32_t type, const StepArgs& args, std::uint32_t& total) override;
    int SubtractStepTotal(std::uint32_t type, const StepArgs& args, std::uint32_t& total) override;
    void ClearCancel() override;
    void SetCancel() override;

private:
    enum class Outcome { Ok, Missed, Failed };  // Missed: no matching reply in time (device still there)

    Outcome Send(const std::uint8_t* packet, int timeoutMs);
    Outcome Expect(std::uint8_t code, const char* tag, std::uint8_t* reply, int timeoutMs);
    Outcome Ready(int timeoutMs);
    bool SendExpect(const std::uint8_t* packet, int sendMs, std::uint8_t code, const char* tag,
                    std::uint8_t* reply, int expectMs);
    bool ReadyThenSendExpect(int readyMs, const std::uint8_t* packet, std::uint8_t code, const char* tag,
                             std::uint8_t* reply, int expectMs);
    int ReadStep(int commandIndex, std::uint32_t address, std::uint32_t length, std::uint8_t* buffer,
                 int readyMs);
    int WriteStep(int commandIndex, std::uint32_t address, std::uint32_t length, const std::uint8_t* data,
                  std::uint32_t lastSegment, int startMs);

    const ProtocolTiming timing_;
    std::atomic<std::uint32_t> cancel_{0};  // 1 = stop at the next exchange; any thread
};

}  // namespace QuarryDriver

#endif
