// Memory behaviour of the virtual amplifier's firmware.
#include "tools/virtual_amp/lib/AmpMemory.h"

#include <algorithm>

#include "platform/base/ByteOrder.h"

namespace VirtualAmp {
namespace {

constexpr std::uint8_t kErased = 0xFF;

bool Fits(std::uint32_t address, std::uint32_t length, std::uint32_t size) {
  return std::uint64_t{address} + length <= size;
}

void CopyFromFile(std::span<const std::uint8_t> file, std::uint32_t fileOffset, std::span<std::uint8_t> to) {
  // Bytes beyond the end of a short file read as erased.
  std::fill(to.begin(), to.end(), kErased);
  if (fileOffset >= file.size()) return;
  const std::size_t n = std::min<std::size_t>(to.size(), file.size() - fileOffset);
  std::copy_n(file.begin() + fileOffset, n, to.begin());
}

}  // namespace

AmpMemory::AmpMemory(Model model) : model_(model), flash_(kFlashSize, kErased), mcu_(kMcuSize, kErased) {}

std::uint32_t AmpMemory::StagingItemAddress(std::uint32_t channel, std::uint32_t item) {
  return kStagingAddress + channel * kChannelAreaStride + kItemOffset[item];
}

std::uint32_t AmpMemory::BankItemAddress(std::uint32_t channel, std::uint32_t item) {
  return kBankAddress[channel] + item * kBankItemStride;
}

void AmpMemory::InstallFirmwareImage(std::span<const std::uint8_t> file) {
  auto flashAt = [this](std::uint32_t address, std::uint32_t size) {
    return std::span<std::uint8_t>(flash_).subspan(address, size);
  };
  CopyFromFile(file, kAppImageAddress, flashAt(kAppImageAddress, kAppImageSize));
  const std::uint32_t textBlocks = model_ == Model::A210 ? kA210TextBlocks : kA200TextBlocks;
  for (std::uint32_t i = 0; i < textBlocks; ++i) {
    // The firmware job leaves a restore block: the file's 16 text bytes, then erased bytes.
    auto block = flashAt(kTextBlockAddress[i], kWriteBlock);
    CopyFromFile(file, kTextBlockAddress[i], block.subspan(0, kTextBlockSize));
    std::fill(block.begin() + kTextBlockSize, block.end(), kErased);
  }
  if (model_ == Model::A210) {
    CopyFromFile(file, kSecondImageAddress, flashAt(kSecondImageAddress, kSecondImageSize));
    CopyFromFile(file, kGlobalHeaderAddress, flashAt(kGlobalHeaderAddress, kGlobalAreaSize));
    CopyFromFile(file, kGlobalHeaderAddress, flashAt(kGlobalSecondCopyAddress, kGlobalAreaSize));
    CopyFromFile(file, kBlock3E000Address, flashAt(kBlock3E000Address, kWriteBlock));
    CopyFromFile(file, kFileDefaultsOffset, flashAt(kDefaultsAddress, kFileDefaultsSize));
    for (std::uint32_t c = 0; c < kChannelCount; ++c) {
      for (std::uint32_t k = 0; k < kItemCount; ++k) {
        // Item 5 has one default per bank; the others share channel 0's.
        const std::uint32_t fileOffset =
            kFileDefaultsOffset + kItemOffset[k] + (k == 5 ? c * kChannelAreaStride : 0);
        CopyFromFile(file, fileOffset, flashAt(BankItemAddress(c, k), kItemSize[k]));
      }
    }
  }
  auto program = std::span<std::uint8_t>(mcu_).subspan(kMcuProgramAddress, kMcuProgramSize);
  CopyFromFile(file, kFileMcuProgramOffset, program);
  std::uint32_t sum = 0;
  for (std::size_t w = 0; w < 7; ++w) sum += platform::LoadLittleEndian<std::uint32_t>(program.data() + 4 * w);
  const std::uint32_t word7 = 0u - sum;
  platform::StoreLittleEndian(word7, program.data() + 28);
}

bool AmpMemory::ApplicationValid() const {
  const auto version = std::span<const std::uint8_t>(flash_).subspan(kVersionBlockAddress, kTextBlockSize);
  const bool marker = std::all_of(version.begin(), version.end(), [](std::uint8_t b) { return b == 0; });
  const bool erased = std::all_of(version.begin(), version.end(), [](std::uint8_t b) { return b == kErased; });
  if (marker || erased) return false;
  std::uint32_t sum = 0;
  for (std::size_t w = 0; w < 8; ++w) sum += platform::LoadLittleEndian<std::uint32_t>(mcu_.data() + kMcuProgramAddress + 4 * w);
  return sum == 0;
}

bool AmpMemory::CanRead(Command command, std::uint32_t address, std::uint32_t length) const {
  switch (command) {
    case Command::RdFla:
      return Fits(address, length, kFlashSize);
    case Command::RdMcu:
      return Fits(address, length, kMcuSize);
    case Command::RmById:
      if (model_ != Model::A210) return false;
      if (address == kMeterId) return length <= kMeterRecordSize;
      if (address == kReadyId) return length <= 1;
      if (auto it = bufferIds_.find(address); it != bufferIds_.end()) return length <= it->second.size();
      return false;
    default:
      return false;
  }
}

std::vector<std::uint8_t> AmpMemory::ReadForTransfer(Command command, std::uint32_t address, std::uint32_t length,
                                                     TimePoint now) const {
  std::vector<std::uint8_t> data;
  if (!CanRead(command, address, length)) return data;
  auto take = [&](std::span<const std::uint8_t> from, std::uint32_t offset) {
    data.assign(from.begin() + offset, from.begin() + offset + length);
  };
  if (command == Command::RdFla) {
    take(flash_, address);
  } else if (command == Command::RdMcu) {
    take(mcu_, address);
  } else if (address == kMeterId) {
    const auto record = MeterRecord();
    take(record, 0);
  } else if (address == kReadyId) {
    const std::array<std::uint8_t, 1> ready = {static_cast<std::uint8_t>(IsReady(now) ? 1 : 0)};
    take(ready, 0);
  } else {
    take(bufferIds_.at(address), 0);
  }
  return data;
}

std::optional<AmpMemory::StagingItem> AmpMemory::FindStagingItem(std::uint32_t id, std::uint32_t length) const {
  for (std::uint32_t c = 0; c < kChannelCount; ++c) {
    for (std::uint32_t k = 0; k < kItemCount; ++k) {
      if (id == StagingItemAddress(c, k) && length > 0 && length <= kItemSize[k]) return StagingItem{c, k};
    }
  }
  return std::nullopt;
}

bool AmpMemory::CanWrite(Command command, std::uint32_t address, std::uint32_t length) const {
  if (length % kWriteBlock != 0) return false;
  switch (command) {
    case Command::WrFla:
      return Fits(address, length, kFlashSize);
    case Command::WrMcu:
      return Fits(address, length, kMcuSize);
    case Command::WmById:
      if (model_ != Model::A210) return false;
      if (address == kGlobalHeaderAddress) return length > 0 && length <= kGlobalAreaSize;
      if (FindStagingItem(address, length)) return true;
      if (auto it = bufferIds_.find(address); it != bufferIds_.end()) {
        return length > 0 && length < it->second.size() + kWriteBlock;
      }
      return false;
    default:
      return false;
  }
}

void AmpMemory::CommitBlock(Command command, std::uint32_t address, std::span<const std::uint8_t> block) {
  std::span<std::uint8_t> memory = command == Command::WrMcu ? std::span<std::uint8_t>(mcu_) : flash_;
  if (!Fits(address, static_cast<std::uint32_t>(block.size()), static_cast<std::uint32_t>(memory.size()))) return;
  std::copy(block.begin(), block.end(), memory.begin() + address);
  if (command != Command::WrFla || model_ != Model::A210) return;
  for (std::uint32_t c = 0; c < kChannelCount; ++c) {
    // The change-flag block comes last in an upload: it tells the firmware which staged
    // items to take into the channel's live bank.
    if (address == kStagingAddress + c * kChannelAreaStride + kChangeFlagOffset) ApplyChangeFlags(c);
  }
}

void AmpMemory::ApplyChangeFlags(std::uint32_t channel) {
  const std::uint32_t flags = kStagingAddress + channel * kChannelAreaStride + kChangeFlagOffset;
  for (std::uint32_t k = 0; k < kItemCount; ++k) {
    if (flash_[flags + k] == 1) CopyFlash(StagingItemAddress(channel, k), BankItemAddress(channel, k), kItemSize[k]);
  }
}

void AmpMemory::CommitById(std::uint32_t id, std::span<const std::uint8_t> data) {
  const auto length = static_cast<std::uint32_t>(data.size());
  if (!CanWrite(Command::WmById, id, length)) return;
  if (id == kGlobalHeaderAddress) {
    std::copy(data.begin(), data.end(), flash_.begin() + kGlobalHeaderAddress);
  } else if (auto item = FindStagingItem(id, length)) {
    // A write by id reaches the running configuration at once; the staging copy is kept in
    // step so that a later change-flag block cannot bring back an older item.
    std::copy(data.begin(), data.end(), flash_.begin() + id);
    std::copy(data.begin(), data.end(), flash_.begin() + BankItemAddress(item->channel, item->item));
  } else if (auto it = bufferIds_.find(id); it != bufferIds_.end()) {
    const std::size_t n = std::min(data.size(), it->second.size());
    std::copy_n(data.begin(), n, it->second.begin());
  }
}

void AmpMemory::RunCommand(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3, TimePoint now, Millis storeBusy) {
  commandLog_.push_back({w1, w2, w3});
  if (w1 == kStoreCommandWord && w2 == 0 && w3 == 0) Store(now, storeBusy);
}

void AmpMemory::Store(TimePoint now, Millis storeBusy) {
  // Storing makes the live configuration the one the amplifier powers up with: the banks
  // go to the stored parameter copy, the live global settings to their second copy.
  for (std::uint32_t c = 0; c < kChannelCount; ++c) {
    for (std::uint32_t k = 0; k < kItemCount; ++k) {
      CopyFlash(BankItemAddress(c, k), kDefaultsAddress + c * kChannelAreaStride + kItemOffset[k], kItemSize[k]);
    }
  }
  CopyFlash(kGlobalHeaderAddress, kGlobalSecondCopyAddress, kGlobalAreaSize);
  busyUntil_ = now + storeBusy;
  ++storeCount_;
}

void AmpMemory::CopyFlash(std::uint32_t from, std::uint32_t to, std::uint32_t length) {
  std::copy_n(flash_.begin() + from, length, flash_.begin() + to);
}

bool AmpMemory::IsMuted() const {
  return model_ == Model::A210 && flash_[kGlobalRecordAddress + kGlobalMuteOffset] == kMutedMark;
}

bool AmpMemory::IsReady(TimePoint now) const {
  if (stayBusy_) return false;
  return !busyUntil_ || now >= *busyUntil_;
}

void AmpMemory::SetMeterLevels(const std::array<std::uint32_t, 4>& inputs,
                               const std::array<std::uint32_t, 4>& outputs) {
  inputLevels_ = inputs;
  outputLevels_ = outputs;
}

void AmpMemory::SetOutputStates(const std::array<std::uint16_t, 4>& states) { outputStates_ = states; }

std::array<std::uint8_t, kMeterRecordSize> AmpMemory::MeterRecord() const {
  std::array<std::uint8_t, kMeterRecordSize> record{};
  const bool muted = IsMuted();
  for (std::size_t i = 0; i < 4; ++i) {
    platform::StoreBigEndian<std::uint32_t>(inputLevels_[i], record.data() + 4 * i);
    platform::StoreBigEndian<std::uint32_t>(muted ? 0 : outputLevels_[i], record.data() + 16 + 4 * i);
  }
  // Word 8 stays 0; words 9 and 10 hold four 16-bit states in the MCU's own (little-endian) order.
  for (std::size_t i = 0; i < 4; ++i) {
    record[36 + 2 * i] = static_cast<std::uint8_t>(outputStates_[i]);
    record[37 + 2 * i] = static_cast<std::uint8_t>(outputStates_[i] >> 8);
  }
  return record;
}

void AmpMemory::SetHwInfo(std::span<const std::uint8_t> bytes) {
  const std::size_t n = std::min<std::size_t>(bytes.size(), kHwInfoSize);
  std::copy_n(bytes.begin(), n, flash_.begin() + kHwInfoAddress);
}

void AmpMemory::RegisterBufferId(std::uint32_t id, std::size_t size) { bufferIds_[id].assign(size, 0); }

std::optional<std::vector<std::uint8_t>> AmpMemory::BufferId(std::uint32_t id) const {
  if (auto it = bufferIds_.find(id); it != bufferIds_.end()) return it->second;
  return std::nullopt;
}

}  // namespace VirtualAmp
