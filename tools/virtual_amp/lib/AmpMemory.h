// The amplifier's memories and what its firmware does with them: flash and MCU memory,
// memory ids, staged parameter items and their live channel banks, global settings with
// the mute flag, the store command, the meter record and the boot rule. Not thread-safe on
// its own; VirtualAmplifier guards it with its lock.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "tools/virtual_amp/lib/AmpClock.h"
#include "tools/virtual_amp/lib/AmpMemoryMap.h"
#include "tools/virtual_amp/lib/AmpPacket.h"

namespace VirtualAmp {

enum class Model { A210, A200 };

// Outcome of a command's checks: which memory a transfer touches and whether it may.
enum class Target { Flash, Mcu, MemoryId };

class AmpMemory {
 public:
  explicit AmpMemory(Model model);

  Model GetModel() const { return model_; }
  std::span<std::uint8_t> Flash() { return flash_; }
  std::span<const std::uint8_t> Flash() const { return flash_; }
  std::span<std::uint8_t> Mcu() { return mcu_; }
  std::span<const std::uint8_t> Mcu() const { return mcu_; }

  // Fills the memories the way this model's firmware job does from an image file of the
  // documented layout (a short file reads as 0xFF past its end); the MCU program's
  // checksum word is made right. Also fills the channel banks from the file's defaults.
  void InstallFirmwareImage(std::span<const std::uint8_t> file);

  // True when a reset from the boot loader starts the application: the version block is
  // neither an erase marker nor erased, and the MCU program's words 0-7 sum to 0.
  bool ApplicationValid() const;

  // --- transfers (bounds are checked in 64 bits, so address + length cannot wrap) ---
  bool CanRead(Command command, std::uint32_t address, std::uint32_t length) const;
  // The bytes a read transfers, taken once when the transfer starts.
  std::vector<std::uint8_t> ReadForTransfer(Command command, std::uint32_t address, std::uint32_t length,
                                            TimePoint now) const;
  bool CanWrite(Command command, std::uint32_t address, std::uint32_t length) const;
  // One checked 256-byte block of a flash or MCU write at its address.
  void CommitBlock(Command command, std::uint32_t address, std::span<const std::uint8_t> block);
  // A complete write by id, applied when the host closes it with "END" or "CON".
  void CommitById(std::uint32_t id, std::span<const std::uint8_t> data);
  // Model 0xA210 only: the "SE_CMD" words after a verified transfer.
  bool HasCommands() const { return model_ == Model::A210; }
  void RunCommand(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3, TimePoint now, Millis storeBusy);

  // --- state tests read and set ---
  bool IsMuted() const;
  bool IsReady(TimePoint now) const;
  void SetStayBusy(bool busy) { stayBusy_ = busy; }
  void SetMeterLevels(const std::array<std::uint32_t, 4>& inputs, const std::array<std::uint32_t, 4>& outputs);
  void SetOutputStates(const std::array<std::uint16_t, 4>& states);
  std::array<std::uint8_t, kMeterRecordSize> MeterRecord() const;
  void SetHwInfo(std::span<const std::uint8_t> bytes);  // up to 15 bytes at the hardware-information address
  // A memory id backed by a plain buffer, readable and writable, for tests.
  void RegisterBufferId(std::uint32_t id, std::size_t size);
  std::optional<std::vector<std::uint8_t>> BufferId(std::uint32_t id) const;
  std::uint32_t StoreCount() const { return storeCount_; }
  struct CommandWords {
    std::uint16_t w1, w2, w3;
  };
  const std::vector<CommandWords>& CommandLog() const { return commandLog_; }

  // Staging address of item k of channel c, and the matching live bank address.
  static std::uint32_t StagingItemAddress(std::uint32_t channel, std::uint32_t item);
  static std::uint32_t BankItemAddress(std::uint32_t channel, std::uint32_t item);

 private:
  struct StagingItem {
    std::uint32_t channel;
    std::uint32_t item;
  };
  std::optional<StagingItem> FindStagingItem(std::uint32_t id, std::uint32_t length) const;
  void ApplyChangeFlags(std::uint32_t channel);
  void Store(TimePoint now, Millis storeBusy);
  void CopyFlash(std::uint32_t from, std::uint32_t to, std::uint32_t length);

  Model model_;
  std::vector<std::uint8_t> flash_;
  std::vector<std::uint8_t> mcu_;
  std::array<std::uint32_t, 4> inputLevels_{};
  std::array<std::uint32_t, 4> outputLevels_{};
  std::array<std::uint16_t, 4> outputStates_{};
  std::map<std::uint32_t, std::vector<std::uint8_t>> bufferIds_;
  std::optional<TimePoint> busyUntil_;
  bool stayBusy_ = false;
  std::uint32_t storeCount_ = 0;
  std::vector<CommandWords> commandLog_;
};

}  // namespace VirtualAmp
