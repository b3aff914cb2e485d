// The virtual amplifier's protocol state machine and device lifecycle.
#include "tools/virtual_amp/lib/VirtualAmplifier.h"

#include <algorithm>

#include "platform/base/ByteOrder.h"
#include "tools/virtual_amp/lib/TestFirmware.h"

namespace VirtualAmp {

std::optional<Model> ModelForProduct(std::uint16_t productId) {
  if (productId == QUARRY_PRODUCT_ID_A210) return Model::A210;
  if (productId == QUARRY_PRODUCT_ID_A200) return Model::A200;
  return std::nullopt;
}

VirtualAmplifier::VirtualAmplifier(const AmpConfig& config, std::shared_ptr<AmpClock> clock)
    : vendorId_(config.vendorId),
      productId_(config.productId),
      serial_(config.serial),
      model_(ModelForProduct(config.productId).value_or(Model::A210)),
      clock_(clock ? std::move(clock) : MakeSteadyClock()),
      mode_(config.mode),
      memory_(model_),
      timing_(config.timing) {
  if (config.factoryImage) {
    TestFirmwareOptions image;
    image.version = config.version;
    memory_.InstallFirmwareImage(BuildTestFirmware(image));
  }
  auto flash = memory_.Flash();
  flash[kFlagByteAddress] = config.flagByte;
  flash[model_ == Model::A210 ? kA210ModelCodeAddress : kA200ModelCodeAddress] = config.modelCode;
  if (model_ == Model::A210) memory_.SetHwInfo(config.hwInfo);
  std::copy(config.mcuInfo.begin(), config.mcuInfo.end(), memory_.Mcu().begin() + kMcuInfoAddress);
}

std::optional<AmpReply> VirtualAmplifier::HandlePacket(const Packet& packet) {
  std::lock_guard lock(mutex_);
  if (!PresentLocked()) {
    ++counters_.ignoredWhileAbsent;
    if (trace_) Trace("--  host> " + FormatPacket(packet) + "  (device absent)");
    return std::nullopt;
  }
  const std::uint64_t exchange = ++counters_.exchanges;
  // Trace lines are only formatted when a sink listens: this runs for every report.
  const auto number = [exchange] {
    std::string text = "#";
    text += std::to_string(exchange);
    return text;
  };
  if (trace_) Trace(number() + " host> " + FormatPacket(packet));
  if (faults_.unplugAtExchange == exchange) {
    if (faults_.unplugFor.count() > 0) {
      Disappear(faults_.unplugFor);
    } else {
      unplugged_ = true;
      ++generation_;
      phase_ = Phase::Idle;
    }
    if (trace_) Trace(number() + " amp   (unplugged)");
    return std::nullopt;
  }

  std::optional<AmpReply> reply = Dispatch(packet);
  if (!reply) {
    ++counters_.unanswered;
    if (trace_) Trace(number() + " amp   (no reply)");
    return std::nullopt;
  }
  Packet& out = reply->packet;
  const auto isReply = [&out](std::uint8_t code, const char* tag) {
    return out[0] == code && out[1] == tag[0] && out[2] == tag[1] && out[3] == tag[2];
  };
  bool dropped = false;
  if (isReply(kCodeRea, "REA") && TakeFault(faults_.dropReady)) dropped = true;
  if (isReply(kCodeChe, "CHE") && TakeFault(faults_.wrongChecksum)) {
    const std::uint32_t wrong = (platform::LoadBigEndian<std::uint32_t>(out.data() + 4) + 1) % 65535;
    platform::StoreBigEndian(wrong, out.data() + 4);
  }
  // The device's running checksum keeps the true byte, so the host sees the damage at "END".
  if (isReply(kCodeDat, "DAT") && TakeFault(faults_.corruptData)) out[4] ^= 0x01;
  if (faults_.dropReplyAt.count(exchange) != 0) dropped = true;
  if (dropped) {
    ++counters_.droppedReplies;
    if (trace_) Trace(number() + " amp   (reply dropped) " + FormatPacket(out));
    return std::nullopt;
  }
  ++counters_.replies;
  if (trace_) Trace(number() + " amp < " + FormatPacket(out));
  return reply;
}

std::optional<AmpReply> VirtualAmplifier::Dispatch(const Packet& packet) {
  if (IsReadyPacket(packet)) {
    ++counters_.readies;
    return Reply(MakeReply(kCodeRea, "REA"));
  }
  if (auto request = ParseCommand(packet)) {
    if (phase_ != Phase::Idle) {
      ++counters_.abandoned;
      phase_ = Phase::Idle;
    }
    return AcceptCommand(*request);
  }
  // In a data phase every other packet is data.
  if (phase_ == Phase::WriteData) return WriteDataPacket(packet);
  if (phase_ == Phase::CmdData) {
    std::copy_n(packet.begin(), commandBytes_.size(), commandBytes_.begin());
    phase_ = Phase::CmdChecksum;
    return Reply(MakeReply(kCodeAck, "ACK"));
  }
  if (IsTestPacket(packet)) {
    if (phase_ != Phase::Idle) ++counters_.abandoned;
    phase_ = Phase::Idle;
    return Reply(MakeIdentityReply(mode_ == AmpMode::BootLoader));
  }
  if (IsTag3(packet, "CNL")) {
    // Cancel ends whatever was started; the handshake uses it to leave an armed "RE_MCU".
    if (phase_ != Phase::Idle) ++counters_.cancels;
    phase_ = Phase::Idle;
    return Reply(MakeReply(kCodeAck, "ACK"));
  }
  switch (phase_) {
    case Phase::Armed:
      if (IsTag3(packet, "STA")) return Start();
      return std::nullopt;
    case Phase::ReadSkip:
    case Phase::ReadData:
    case Phase::ReadDone:
      if (IsTag3(packet, "ACK") && phase_ != Phase::ReadDone) return ReadNext();
      if (IsTag3(packet, "END")) {
        phase_ = Phase::Idle;
        return Reply(MakeChecksumReply(readChecksum_.Value()));
      }
      return std::nullopt;
    case Phase::WriteSkip:
      return WriteSkipCount(packet);
    case Phase::WriteChecksum:
      if (auto sum = ParseHostChecksum(packet)) return WriteBlockChecksum(*sum);
      return std::nullopt;
    case Phase::CmdChecksum:
      if (auto sum = ParseHostChecksum(packet)) return CommandChecksum(*sum);
      return std::nullopt;
    case Phase::CmdEnd:
      if (IsTag3(packet, "END")) {
        phase_ = Phase::Idle;
        ++counters_.ends;
        ++counters_.commandsRun;
        memory_.RunCommand(platform::LoadBigEndian<std::uint16_t>(commandBytes_.data()),
                           platform::LoadBigEndian<std::uint16_t>(commandBytes_.data() + 2),
                           platform::LoadBigEndian<std::uint16_t>(commandBytes_.data() + 4), clock_->Now(),
                           timing_.storeBusy);
        return Reply(MakeReply(kCodeAck, "ACK"));
      }
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

std::optional<AmpReply> VirtualAmplifier::AcceptCommand(const CommandRequest& request) {
  // Memory ids and commands belong to model 0xA210's application; its boot loader knows
  // only raw memory, writes and reset.
  const bool application = model_ == Model::A210 && mode_ == AmpMode::Application;
  bool accepted = false;
  switch (request.command) {
    case Command::ReMcu:
      accepted = true;
      break;
    case Command::RdFla:
    case Command::RdMcu:
      accepted = memory_.CanRead(request.command, request.address, request.length);
      break;
    case Command::RmById:
      accepted = application && memory_.CanRead(request.command, request.address, request.length);
      break;
    case Command::WrFla:
    case Command::WrMcu:
      accepted = memory_.CanWrite(request.command, request.address, request.length);
      break;
    case Command::WmById:
      accepted = application && memory_.CanWrite(request.command, request.address, request.length);
      break;
    case Command::SeCmd:
      accepted = application && memory_.HasCommands() && request.length == commandBytes_.size();
      break;
  }
  if (!accepted) {
    ++counters_.commandsRefused;
    return std::nullopt;
  }
  ++counters_.commandsAccepted;
  request_ = request;
  phase_ = Phase::Armed;
  return Reply(MakeReply(kCodeAck, "ACK"));
}

std::optional<AmpReply> VirtualAmplifier::Start() {
  switch (request_.command) {
    case Command::ReMcu:
      // The reset happens at once; the host does not wait for an answer.
      ResetDevice();
      return std::nullopt;
    case Command::RdFla:
    case Command::RdMcu:
    case Command::RmById:
      readData_ = memory_.ReadForTransfer(request_.command, request_.address, request_.length, clock_->Now());
      position_ = 0;
      readChecksum_.Reset();
      phase_ = readData_.empty() ? Phase::ReadDone : Phase::ReadSkip;
      break;
    case Command::WrFla:
    case Command::WrMcu:
    case Command::WmById:
      blocksTotal_ = request_.length / static_cast<std::uint32_t>(kWriteBlock);
      blocksDone_ = 0;
      blockPackets_ = 0;
      if (request_.command == Command::WmById) idData_.assign(request_.length, 0xFF);
      phase_ = Phase::WriteSkip;
      break;
    case Command::SeCmd:
      commandBytes_.fill(0);
      phase_ = Phase::CmdData;
      break;
  }
  AmpReply reply = Reply(MakeReply(kCodeAck, "ACK"));
  reply.delay += faults_.slowStart;
  return reply;
}

std::optional<AmpReply> VirtualAmplifier::ReadNext() {
  const std::size_t length = readData_.size();
  if (phase_ == Phase::ReadSkip) {
    // Count whole 60-byte chunks (the last one may be shorter) that are all 0xFF.
    std::uint32_t count = 0;
    while (position_ < length) {
      const std::size_t chunk = std::min(kDatPayload, length - position_);
      const auto begin = readData_.begin() + static_cast<std::ptrdiff_t>(position_);
      if (!std::all_of(begin, begin + static_cast<std::ptrdiff_t>(chunk), [](std::uint8_t b) { return b == 0xFF; })) {
        break;
      }
      position_ += chunk;
      ++count;
    }
    phase_ = position_ >= length ? Phase::ReadDone : Phase::ReadData;
    return Reply(MakeSkipReply(count));
  }
  const std::size_t chunk = std::min(kDatPayload, length - position_);
  const auto data = std::span<const std::uint8_t>(readData_).subspan(position_, chunk);
  readChecksum_.Add(data);
  position_ += chunk;
  phase_ = position_ >= length ? Phase::ReadDone : Phase::ReadSkip;
  return Reply(MakeDataReply(data));
}

std::optional<AmpReply> VirtualAmplifier::WriteSkipCount(const Packet& packet) {
  if (IsTag3(packet, "END")) return WriteClose(true);
  if (IsTag3(packet, "CON")) return WriteClose(false);
  const std::optional<std::uint32_t> count = ParseSkipCount(packet);
  if (!count) return std::nullopt;
  if (*count > blocksTotal_ - blocksDone_) {
    // Skipping past the end of the write: the host and device disagree; start over.
    phase_ = Phase::Idle;
    return std::nullopt;
  }
  // Skipped blocks are erased blocks of the host's data; they end up erased here too.
  static const std::array<std::uint8_t, kWriteBlock> kErasedBlock = [] {
    std::array<std::uint8_t, kWriteBlock> block{};
    block.fill(0xFF);
    return block;
  }();
  for (std::uint32_t i = 0; i < *count; ++i) {
    if (request_.command != Command::WmById) {
      memory_.CommitBlock(request_.command,
                          request_.address + (blocksDone_ + i) * static_cast<std::uint32_t>(kWriteBlock), kErasedBlock);
    }
  }
  blocksDone_ += *count;
  counters_.blocksSkipped += *count;
  blockPackets_ = 0;
  phase_ = blocksDone_ < blocksTotal_ ? Phase::WriteData : Phase::WriteSkip;
  return Reply(MakeReply(kCodeAck, "ACK"));
}

std::optional<AmpReply> VirtualAmplifier::WriteDataPacket(const Packet& packet) {
  std::copy(packet.begin(), packet.end(), block_.begin() + static_cast<std::ptrdiff_t>(blockPackets_ * kPacketSize));
  if (++blockPackets_ == kPacketsPerBlock) phase_ = Phase::WriteChecksum;
  return Reply(MakeReply(kCodeAck, "ACK"));
}

std::optional<AmpReply> VirtualAmplifier::WriteBlockChecksum(std::uint32_t hostChecksum) {
  const std::uint32_t own = ChecksumOf(block_);
  if (own != hostChecksum) {
    // A block that did not arrive as sent is not stored; the transfer is over.
    ++counters_.checksumMismatches;
    phase_ = Phase::Idle;
    return Reply(MakeChecksumReply(own));
  }
  const std::uint32_t offset = blocksDone_ * static_cast<std::uint32_t>(kWriteBlock);
  if (request_.command == Command::WmById) {
    std::copy(block_.begin(), block_.end(), idData_.begin() + offset);
  } else {
    memory_.CommitBlock(request_.command, request_.address + offset, block_);
  }
  ++blocksDone_;
  ++counters_.blocksWritten;
  phase_ = Phase::WriteSkip;
  return Reply(MakeChecksumReply(own));
}

std::optional<AmpReply> VirtualAmplifier::WriteClose(bool end) {
  phase_ = Phase::Idle;
  if (blocksDone_ != blocksTotal_) return std::nullopt;  // closed before every block came
  if (request_.command == Command::WmById) memory_.CommitById(request_.address, idData_);
  ++(end ? counters_.ends : counters_.continues);
  return Reply(MakeReply(kCodeAck, "ACK"));
}

std::optional<AmpReply> VirtualAmplifier::CommandChecksum(std::uint32_t hostChecksum) {
  const std::uint32_t own = ChecksumOf(commandBytes_);
  if (own != hostChecksum) {
    ++counters_.checksumMismatches;
    phase_ = Phase::Idle;
  } else {
    phase_ = Phase::CmdEnd;
  }
  return Reply(MakeChecksumReply(own));
}

void VirtualAmplifier::ResetDevice() {
  AmpMode next = AmpMode::BootLoader;
  if (mode_ == AmpMode::Application) {
    next = faults_.refuseBootLoader ? AmpMode::Application : AmpMode::BootLoader;
  } else {
    next = memory_.ApplicationValid() ? AmpMode::Application : AmpMode::BootLoader;
  }
  mode_ = next;
  ++counters_.resets;
  Disappear(timing_.resetAbsence);
}

void VirtualAmplifier::Disappear(Millis absence) {
  ++generation_;
  absentUntil_ = clock_->Now() + absence;
  phase_ = Phase::Idle;
}

bool VirtualAmplifier::PresentLocked() const {
  return !unplugged_ && (!absentUntil_ || clock_->Now() >= *absentUntil_);
}

AmpReply VirtualAmplifier::Reply(const Packet& packet) const { return AmpReply{packet, timing_.replyLatency}; }

bool VirtualAmplifier::TakeFault(int& count) {
  if (count == kAlways) return true;
  if (count <= 0) return false;
  --count;
  return true;
}

void VirtualAmplifier::Trace(const std::string& line) const {
  if (trace_) trace_(serial_ + " " + line);
}

AmpMode VirtualAmplifier::Mode() const {
  std::lock_guard lock(mutex_);
  return mode_;
}

bool VirtualAmplifier::IsPresent() const {
  std::lock_guard lock(mutex_);
  return PresentLocked();
}

std::uint64_t VirtualAmplifier::Generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

void VirtualAmplifier::Unplug() {
  std::lock_guard lock(mutex_);
  if (unplugged_) return;
  unplugged_ = true;
  ++generation_;
  phase_ = Phase::Idle;
}

void VirtualAmplifier::Replug() {
  std::lock_guard lock(mutex_);
  unplugged_ = false;
  absentUntil_.reset();
}

AmpTiming VirtualAmplifier::Timing() const {
  std::lock_guard lock(mutex_);
  return timing_;
}

void VirtualAmplifier::SetTiming(const AmpTiming& timing) {
  std::lock_guard lock(mutex_);
  timing_ = timing;
}

AmpFaults VirtualAmplifier::Faults() const {
  std::lock_guard lock(mutex_);
  return faults_;
}

void VirtualAmplifier::SetFaults(const AmpFaults& faults) {
  std::lock_guard lock(mutex_);
  faults_ = faults;
  memory_.SetStayBusy(faults.stayBusy);
}

AmpCounters VirtualAmplifier::Counters() const {
  std::lock_guard lock(mutex_);
  return counters_;
}

void VirtualAmplifier::ResetCounters() {
  std::lock_guard lock(mutex_);
  counters_ = AmpCounters{};
}

void VirtualAmplifier::SetTraceSink(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(mutex_);
  trace_ = std::move(sink);
}

std::vector<std::uint8_t> VirtualAmplifier::ReadFlash(std::uint32_t address, std::uint32_t length) const {
  std::lock_guard lock(mutex_);
  if (std::uint64_t{address} + length > kFlashSize) return {};
  auto flash = memory_.Flash();
  return {flash.begin() + address, flash.begin() + address + length};
}

std::vector<std::uint8_t> VirtualAmplifier::ReadMcu(std::uint32_t address, std::uint32_t length) const {
  std::lock_guard lock(mutex_);
  if (std::uint64_t{address} + length > kMcuSize) return {};
  auto mcu = memory_.Mcu();
  return {mcu.begin() + address, mcu.begin() + address + length};
}

bool VirtualAmplifier::WriteFlash(std::uint32_t address, std::span<const std::uint8_t> data) {
  std::lock_guard lock(mutex_);
  if (std::uint64_t{address} + data.size() > kFlashSize) return false;
  std::copy(data.begin(), data.end(), memory_.Flash().begin() + address);
  return true;
}

bool VirtualAmplifier::WriteMcu(std::uint32_t address, std::span<const std::uint8_t> data) {
  std::lock_guard lock(mutex_);
  if (std::uint64_t{address} + data.size() > kMcuSize) return false;
  std::copy(data.begin(), data.end(), memory_.Mcu().begin() + address);
  return true;
}

void VirtualAmplifier::SetMeterLevels(const std::array<std::uint32_t, 4>& inputs,
                                      const std::array<std::uint32_t, 4>& outputs) {
  std::lock_guard lock(mutex_);
  memory_.SetMeterLevels(inputs, outputs);
}

void VirtualAmplifier::SetOutputStates(const std::array<std::uint16_t, 4>& states) {
  std::lock_guard lock(mutex_);
  memory_.SetOutputStates(states);
}

void VirtualAmplifier::SetHwInfo(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  memory_.SetHwInfo(bytes);
}

bool VirtualAmplifier::IsMuted() const {
  std::lock_guard lock(mutex_);
  return memory_.IsMuted();
}

bool VirtualAmplifier::IsReady() const {
  std::lock_guard lock(mutex_);
  return memory_.IsReady(clock_->Now());
}

void VirtualAmplifier::InstallFirmwareImage(std::span<const std::uint8_t> file) {
  std::lock_guard lock(mutex_);
  memory_.InstallFirmwareImage(file);
}

void VirtualAmplifier::WithMemory(const std::function<void(AmpMemory&)>& fn) {
  std::lock_guard lock(mutex_);
  fn(memory_);
}

}  // namespace VirtualAmp
