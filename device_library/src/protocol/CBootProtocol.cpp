// Every step type of a job, spoken as the amplifier's READY/REA question-and-answer protocol.
#include "device_library/src/protocol/CBootProtocol.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>

#include "device_library/src/protocol/Packet.h"
#include "device_library/src/transport/OpenDeviceList.h"
#include "platform/base/ByteOrder.h"

namespace QuarryDriver {

namespace {

using Clock = std::chrono::steady_clock;

bool IsAllErased(const std::uint8_t* block, std::size_t count)
{
    return std::all_of(block, block + count, [](std::uint8_t b) { return b == 0xFF; });
}

std::uint32_t NonErasedBlockBytes(const StepArgs& args)
{
    std::uint32_t units = 0;
    if (args.data == nullptr) {
        return 0;
    }
    for (std::uint64_t offset = 0; offset + kWriteBlockSize <= args.length; offset += kWriteBlockSize) {
        if (!IsAllErased(args.data + offset, kWriteBlockSize)) {
            units += kWriteBlockSize;
        }
    }
    return units;
}

std::uint32_t StepUnits(std::uint32_t type, const StepArgs& args)
{
    switch (type) {
    case kStepFlashRead:
    case kStepMcuRead:
    case kStepReadById:
    case kStepWriteById:
        return args.length;
    case kStepFlashWrite:
    case kStepMcuWrite:
        return NonErasedBlockBytes(args);
    default:
        return 1;
    }
}

}  // namespace

CBootProtocol::CBootProtocol(DeviceLocator locator, const ProtocolTiming& timing)
    : CHidTransport(std::move(locator)), timing_(timing)
{
}

CBootProtocol::~CBootProtocol()
{
    StopAllJobs();
}

// ---- exchange primitives ---------------------------------------------------------------

CBootProtocol::Outcome CBootProtocol::Send(const std::uint8_t* packet, int timeoutMs)
{
    if (cancel_ != 0) {
        return Outcome::Failed;
    }
    return WriteReport(DevicePath(), packet, timeoutMs) == IoResult::Ok ? Outcome::Ok : Outcome::Failed;
}

CBootProtocol::Outcome CBootProtocol::Expect(std::uint8_t code, const char* tag, std::uint8_t* reply, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::uint8_t report[kPacketBytes];
    for (;;) {
        if (cancel_ != 0) {
            return Outcome::Failed;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return Outcome::Missed;
        }
        const int slice = static_cast<int>(std::min<long long>(left, timing_.replyReadSliceMs));
        switch (ReadReport(DevicePath(), report, slice)) {
        case IoResult::Ok:
            if (IsReply(report, code, tag)) {
                if (reply != nullptr) {
                    std::memcpy(reply, report, kPacketBytes);
                }
                return Outcome::Ok;
            }
            break;  // not the reply we wait for: dropped
        case IoResult::Timeout:
            break;
        case IoResult::Aborted:
        case IoResult::Gone:
        case IoResult::Refused:
            // An unplugged or aborted device will not answer; waiting out the time-out would
            // only delay the failure.
            return Outcome::Failed;
        }
    }
}

CBootProtocol::Outcome CBootProtocol::Ready(int timeoutMs)
{
    const Packet ready = TagPacket("READY");
    // The "READY" exchange is the only one tried twice: a device busy finishing the previous
    // request may miss the first one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (Send(ready.data(), timeoutMs) != Outcome::Ok) {
            return Outcome::Failed;
        }
        const Outcome answer = Expect(kReplyRea, "REA", nullptr, timeoutMs);
        if (answer != Outcome::Missed) {
            return answer;
        }
    }
    return Outcome::Missed;
}

bool CBootProtocol::SendExpect(const std::uint8_t* packet, int sendMs, std::uint8_t code, const char* tag,
                               std::uint8_t* reply, int expectMs)
{
    return Send(packet, sendMs) == Outcome::Ok && Expect(code, tag, reply, expectMs) == Outcome::Ok;
}

bool CBootProtocol::ReadyThenSendExpect(int readyMs, const std::uint8_t* packet, std::uint8_t code, const char* tag,
                                        std::uint8_t* reply, int expectMs)
{
    return Ready(readyMs) == Outcome::Ok && SendExpect(packet, timing_.exchangeMs, code, tag, reply, expectMs);
}

// ---- steps -----------------------------------------------------------------------------

int CBootProtocol::HandshakeStep(std::uint32_t* outFlag)
{
    if (outFlag == nullptr) {
        return 0;
    }
    *outFlag = 0;
    const int stepMs = timing_.handshakeStepMs;
    // A device that does not answer is not ours to talk to: the step succeeds with flag 0.
    // Only a failed send (unplugged, aborted) or a cancel fails the step.
    Outcome outcome = Ready(timing_.handshakeReadyMs);
    if (outcome != Outcome::Ok) {
        return outcome == Outcome::Missed ? 1 : 0;
    }
    Packet reset;
    CommandPacket(kCmdResetMcu, nullptr, 0, reset);
    if (Send(reset.data(), stepMs) != Outcome::Ok) {
        return 0;
    }
    outcome = Expect(kReplyAck, "ACK", nullptr, stepMs);
    if (outcome != Outcome::Ok) {
        return outcome == Outcome::Missed ? 1 : 0;
    }
    outcome = Ready(stepMs);
    if (outcome != Outcome::Ok) {
        return outcome == Outcome::Missed ? 1 : 0;
    }
    // "CNL" withdraws the reset just announced, leaving the device idle.
    const Packet cancel = TagPacket("CNL");
    if (Send(cancel.data(), stepMs) != Outcome::Ok) {
        return 0;
    }
    outcome = Expect(kReplyAck, "ACK", nullptr, stepMs);
    if (outcome == Outcome::Failed) {
        return 0;
    }
    if (outcome == Outcome::Ok) {
        AddProgress(1);
        *outFlag = 1;
    }
    return 1;
}

int CBootProtocol::IdentityTestStep(std::uint32_t* outValue)
{
    if (outValue == nullptr) {
        return 0;
    }
    const Packet test = TagPacket("TEST");
    std::uint8_t reply[kPacketBytes];
    if (!ReadyThenSendExpect(timing_.exchangeMs, test.data(), kReplyInv, "INV", reply, timing_.exchangeMs)) {
        return 0;
    }
    AddProgress(1);
    if (std::memcmp(reply + 4, "HID", 3) == 0) {
        *outValue = 1;
        return 1;
    }
    if (std::memcmp(reply + 4, "APP", 3) == 0) {
        *outValue = 0;
        return 1;
    }
    return 0;
}

int CBootProtocol::ReadStep(int commandIndex, std::uint32_t address, std::uint32_t length, std::uint8_t* buffer,
                            int readyMs)
{
    if (buffer == nullptr) {
        return 0;
    }
    const int ms = timing_.exchangeMs;
    Packet command;
    AddressCommandPacket(commandIndex, address, length, command);
    const Packet start = TagPacket("STA");
    const Packet ack = TagPacket("ACK");
    if (!ReadyThenSendExpect(readyMs, command.data(), kReplyAck, "ACK", nullptr, ms) ||
        !ReadyThenSendExpect(readyMs, start.data(), kReplyAck, "ACK", nullptr, ms)) {
        return 0;
    }
    std::uint32_t position = 0;
    std::uint32_t checksum = 0;
    std::uint8_t reply[kPacketBytes];
    // The device alternates: how many 60-byte chunks of 0xFF it skips, then one chunk of data.
    while (position < length) {
        if (!ReadyThenSendExpect(readyMs, ack.data(), kReplySkp, "SKP", reply, ms)) {
            return 0;
        }
        const std::uint64_t skipped =
            static_cast<std::uint64_t>(platform::LoadBigEndian<std::uint32_t>(reply + 4)) * kReadChunkBytes;
        const auto fill = static_cast<std::uint32_t>(std::min<std::uint64_t>(skipped, length - position));
        std::memset(buffer + position, 0xFF, fill);
        position += fill;
        AddProgress(fill);
        if (position >= length) {
            break;
        }
        if (!ReadyThenSendExpect(readyMs, ack.data(), kReplyDat, "DAT", reply, ms)) {
            return 0;
        }
        const auto take = static_cast<std::uint32_t>(std::min<std::uint64_t>(kReadChunkBytes, length - position));
        std::memcpy(buffer + position, reply + 4, take);
        checksum = ChecksumAdd(checksum, reply + 4, take);
        position += take;
        AddProgress(take);
    }
    const Packet end = TagPacket("END");
    if (!ReadyThenSendExpect(readyMs, end.data(), kReplyChe, "CHE", reply, ms)) {
        return 0;
    }
    return platform::LoadBigEndian<std::uint32_t>(reply + 4) == checksum ? 1 : 0;
}

int CBootProtocol::WriteStep(int commandIndex, std::uint32_t address, std::uint32_t length, const std::uint8_t* data,
                             std::uint32_t lastSegment, int startMs)
{
    if (data == nullptr || length % kWriteBlockSize != 0) {
        return 0;
    }
    const int ms = timing_.exchangeMs;
    Packet command;
    AddressCommandPacket(commandIndex, address, length, command);
    const Packet start = TagPacket("STA");
    if (!ReadyThenSendExpect(ms, command.data(), kReplyAck, "ACK", nullptr, ms) ||
        !ReadyThenSendExpect(ms, start.data(), kReplyAck, "ACK", nullptr, startMs)) {
        return 0;
    }
    constexpr std::uint32_t kPacketsPerBlock = kWriteBlockSize / kPacketBytes;
    std::uint32_t skipCount = 0;
    std::uint8_t reply[kPacketBytes];
    for (std::uint32_t offset = 0; offset < length; offset += kWriteBlockSize) {
        const std::uint8_t* block = data + offset;
        const bool lastBlock = offset + kWriteBlockSize == length;
        if (IsAllErased(block, kWriteBlockSize)) {
            ++skipCount;
            // Erased blocks are never sent; only a trailing run needs its count sent on its own.
            if (lastBlock) {
                const Packet skip = SkipCountPacket(skipCount);
                if (!ReadyThenSendExpect(ms, skip.data(), kReplyAck, "ACK", nullptr, ms)) {
                    return 0;
                }
                skipCount = 0;
            }
            continue;
        }
        const Packet skip = SkipCountPacket(skipCount);
        if (!ReadyThenSendExpect(ms, skip.data(), kReplyAck, "ACK", nullptr, ms)) {
            return 0;
        }
        for (std::uint32_t part = 0; part < kPacketsPerBlock; ++part) {
            Packet packet;
            DataPacket(block + part * kPacketBytes, kPacketBytes, packet);
            if (!ReadyThenSendExpect(ms, packet.data(), kReplyAck, "ACK", nullptr, ms)) {
                return 0;
            }
        }
        const std::uint32_t blockChecksum = ChecksumAdd(0, block, kWriteBlockSize);
        const Packet check = ChecksumPacket(blockChecksum);
        if (!ReadyThenSendExpect(ms, check.data(), kReplyChe, "CHE", reply, ms) ||
            platform::LoadBigEndian<std::uint32_t>(reply + 4) != blockChecksum) {
            return 0;
        }
        AddProgress(kWriteBlockSize);
        skipCount = 0;
    }
    const Packet finish = TagPacket(lastSegment == 1 ? "END" : "CON");
    return ReadyThenSendExpect(ms, finish.data(), kReplyAck, "ACK", nullptr, ms) ? 1 : 0;
}

int CBootProtocol::FlashReadStep(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer)
{
    return ReadStep(kCmdReadFlash, address, length, buffer, timing_.exchangeMs);
}

int CBootProtocol::McuReadStep(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer)
{
    return ReadStep(kCmdReadMcu, address, length, buffer, timing_.exchangeMs);
}

int CBootProtocol::ReadByIdStep(std::uint32_t id, std::uint32_t length, std::uint8_t* buffer)
{
    return ReadStep(kCmdReadById, id, length, buffer, timing_.readByIdReadyMs);
}

int CBootProtocol::FlashWriteStep(std::uint32_t address, std::uint32_t length, const std::uint8_t* data,
                                  std::uint32_t lastSegment)
{
    return WriteStep(kCmdWriteFlash, address, length, data, lastSegment, timing_.flashWriteStartMs);
}

int CBootProtocol::McuWriteStep(std::uint32_t address, std::uint32_t length, const std::uint8_t* data,
                                std::uint32_t lastSegment)
{
    return WriteStep(kCmdWriteMcu, address, length, data, lastSegment, timing_.mcuWriteStartMs);
}

int CBootProtocol::WriteByIdStep(std::uint32_t id, std::uint32_t length, const std::uint8_t* data,
                                 std::uint32_t lastSegment)
{
    return WriteStep(kCmdWriteById, id, length, data, lastSegment, timing_.flashWriteStartMs);
}

int CBootProtocol::ResetStep()
{
    const int ms = timing_.exchangeMs;
    Packet reset;
    CommandPacket(kCmdResetMcu, nullptr, 0, reset);
    if (!ReadyThenSendExpect(ms, reset.data(), kReplyAck, "ACK", nullptr, ms)) {
        return 0;
    }
    // The device restarts on "STA" and does not answer it.
    const Packet start = TagPacket("STA");
    if (Ready(ms) != Outcome::Ok || Send(start.data(), ms) != Outcome::Ok) {
        return 0;
    }
    AddProgress(1);
    return 1;
}

int CBootProtocol::CommandStep(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3)
{
    const int ms = timing_.exchangeMs;
    const std::uint8_t words[6] = {static_cast<std::uint8_t>(w1 >> 8), static_cast<std::uint8_t>(w1),
                                   static_cast<std::uint8_t>(w2 >> 8), static_cast<std::uint8_t>(w2),
                                   static_cast<std::uint8_t>(w3 >> 8), static_cast<std::uint8_t>(w3)};
    Packet command;
    AddressCommandPacket(kCmdSendCommand, 0, sizeof words, command);
    const Packet start = TagPacket("STA");
    Packet payload;
    DataPacket(words, sizeof words, payload);
    const std::uint32_t checksum = ChecksumAdd(0, words, sizeof words);
    const Packet check = ChecksumPacket(checksum);
    const Packet end = TagPacket("END");
    std::uint8_t reply[kPacketBytes];
    if (!ReadyThenSendExpect(ms, command.data(), kReplyAck, "ACK", nullptr, ms) ||
        !ReadyThenSendExpect(ms, start.data(), kReplyAck, "ACK", nullptr, ms) ||
        !ReadyThenSendExpect(ms, payload.data(), kReplyAck, "ACK", nullptr, ms) ||
        !ReadyThenSendExpect(ms, check.data(), kReplyChe, "CHE", reply, ms) ||
        platform::LoadBigEndian<std::uint32_t>(reply + 4) != checksum) {
        return 0;
    }
    AddProgress(1);
    return ReadyThenSendExpect(ms, end.data(), kReplyAck, "ACK", nullptr, ms) ? 1 : 0;
}

// ---- step bookkeeping ------------------------------------------------------------------

int CBootProtocol::CheckStepType(std::uint32_t type, const StepArgs& args)
{
    switch (type) {
    case kStepHandshake:
    case kStepIdentityTest:
        return args.out != nullptr ? 1 : 0;
    case kStepFlashRead:
    case kStepMcuRead:
    case kStepReadById:
        return args.buffer != nullptr ? 1 : 0;
    case kStepFlashWrite:
    case kStepMcuWrite:
    case kStepWriteById:
        // Writes go out in whole 256-byte blocks; a partial last block would be read past the data.
        return args.length % kWriteBlockSize == 0 && args.data != nullptr ? 1 : 0;
    case kStepReset:
    case kStepCommand:
        return 1;
    default:
        return 0;
    }
}

int CBootProtocol::AddStepTotal(std::uint32_t type, const StepArgs& args, std::uint32_t& total)
{
    const std::uint32_t units = StepUnits(type, args);
    if (units > std::numeric_limits<std::uint32_t>::max() - total) {
        return 0;
    }
    total += units;
    return 1;
}

int CBootProtocol::SubtractStepTotal(std::uint32_t type, const StepArgs& args, std::uint32_t& total)
{
    const std::uint32_t units = StepUnits(type, args);
    if (units > total) {
        return 0;
    }
    total -= units;
    return 1;
}

void CBootProtocol::ClearCancel()
{
    cancel_ = 0;
}

void CBootProtocol::SetCancel()
{
    cancel_ = 1;
}

}  // namespace QuarryDriver
