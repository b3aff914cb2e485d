// The virtual amplifier: one device with its identity, memories and the amplifier's side
// of the 64-byte packet protocol, driven one host packet at a time. It owns no sockets or
// threads; AmpServer puts it on a file descriptor, AmpFolderHost in a socket folder.
//
// Protocol rules it keeps:
// - "READY" is answered with the code-4 "REA" in every state, and the state stays as it was.
// - A recognised command in any state abandons the transaction in progress and is then
//   accepted ("ACK") or refused (silence), so a host that timed out resynchronises.
// - "TEST" outside a data phase answers "INV" with "HID" (boot loader) or "APP".
// - Anything the device cannot accept where it stands gets no reply at all.
//
// A data packet that equals "READY" (the five letters and 59 zeros): the host says
// "READY" before every packet, so the two cannot be told apart. The device always takes
// such a packet as "READY": it answers "REA", stores nothing and keeps waiting for the
// data. The host, which waits for "ACK", times out and its write step fails; nothing of
// the unfinished block reaches memory, because a block is committed only after its
// checksum matched. A write is refused loudly rather than stored wrongly. The same holds
// for a data packet that looks exactly like a command (name, 8 payload bytes, zeros):
// it abandons the write. Control packets are recognised only with zeros in every byte
// the format does not name, which keeps both sets as small as the format allows.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "device_library/include/QuarryVendorId.h"
#include "tools/virtual_amp/lib/AmpClock.h"
#include "tools/virtual_amp/lib/AmpMemory.h"
#include "tools/virtual_amp/lib/AmpPacket.h"

namespace VirtualAmp {

enum class AmpMode { Application, BootLoader };

struct AmpTiming {
  Millis replyLatency{0};   // added before every reply
  Millis pace{0};           // transports: at least this long between reports, per direction
  Millis resetAbsence{500};  // how long the device is gone after a reset
  Millis storeBusy{200};     // ready byte 0 after the store command
};

inline constexpr int kAlways = -1;  // a fault count that never runs out

struct AmpFaults {
  std::set<std::uint64_t> dropReplyAt;  // exchange numbers (1-based) whose reply is withheld
  int dropReady = 0;                     // "REA" replies still to withhold, or kAlways
  int wrongChecksum = 0;                 // "CHE" replies still to falsify, or kAlways
  int corruptData = 0;                   // "DAT" replies still to corrupt (one byte), or kAlways
  Millis slowStart{0};                   // extra delay before the reply to "STA"
  std::uint64_t unplugAtExchange = 0;    // vanish on taking this exchange (0 = never)
  Millis unplugFor{0};                   // then come back after this long (0 = on Replug())
  bool stayBusy = false;                 // the ready byte (id 2) stays 0
  bool refuseBootLoader = false;         // a reset from the application restarts the application
};

struct AmpCounters {
  std::uint64_t exchanges = 0;           // host packets taken while present
  std::uint64_t replies = 0;             // replies given
  std::uint64_t unanswered = 0;          // packets the protocol leaves without reply
  std::uint64_t droppedReplies = 0;      // replies withheld by a fault
  std::uint64_t ignoredWhileAbsent = 0;  // packets that arrived while the device was gone
  std::uint64_t readies = 0;
  std::uint64_t commandsAccepted = 0;
  std::uint64_t commandsRefused = 0;
  std::uint64_t abandoned = 0;           // transactions cut short by a new command
  std::uint64_t cancels = 0;
  std::uint64_t blocksWritten = 0;       // 256-byte blocks committed after a matching checksum
  std::uint64_t blocksSkipped = 0;       // erased blocks announced by skip counts
  std::uint64_t checksumMismatches = 0;
  std::uint64_t ends = 0;
  std::uint64_t continues = 0;
  std::uint64_t resets = 0;
  std::uint64_t commandsRun = 0;         // "SE_CMD" transfers completed
};

struct AmpConfig {
  std::uint16_t vendorId = QUARRY_MAKER_VENDOR_ID;
  std::uint16_t productId = QUARRY_PRODUCT_ID_A210;
  std::string serial = "VAMP0001";
  AmpMode mode = AmpMode::Application;  // taken as given at start, even over an unbootable image
  bool factoryImage = true;  // install a generated image at start; false leaves memories erased
  std::string version = "V5.20";
  std::uint8_t modelCode = 3;  // 1-5: MV220, MV220P, MV440, MV440A, MV340A
  std::uint8_t flagByte = 0;
  // Status byte, three kept bytes, eight item bytes (item 2 zero: CONFIG switch in
  // software mode), two bytes not passed on, the model-dependent byte.
  std::array<std::uint8_t, kHwInfoSize> hwInfo = {0, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0};
  std::array<std::uint8_t, kMcuInfoSize> mcuInfo = {'V', 'A', 'M', 'P', '0', '1', '0', '0'};
  AmpTiming timing;
};

struct AmpReply {
  Packet packet{};
  Millis delay{0};  // how long after the request the reply is due
};

std::optional<Model> ModelForProduct(std::uint16_t productId);

class VirtualAmplifier {
 public:
  // A product id other than 0xA200 is treated as model 0xA210.
  explicit VirtualAmplifier(const AmpConfig& config, std::shared_ptr<AmpClock> clock = MakeSteadyClock());

  // One host packet in; the reply, if the device gives one. Counts the exchange.
  std::optional<AmpReply> HandlePacket(const Packet& packet);

  std::uint16_t VendorId() const { return vendorId_; }
  std::uint16_t ProductId() const { return productId_; }
  const std::string& Serial() const { return serial_; }
  Model GetModel() const { return model_; }
  AmpMode Mode() const;

  // Present unless unplugged or still gone after a reset. The generation grows every time
  // the device disappears, so a transport knows to drop its connection.
  bool IsPresent() const;
  std::uint64_t Generation() const;
  void Unplug();
  void Replug();

  AmpTiming Timing() const;
  void SetTiming(const AmpTiming& timing);
  AmpFaults Faults() const;
  void SetFaults(const AmpFaults& faults);
  AmpCounters Counters() const;
  void ResetCounters();
  // Called with one line per packet in and reply out, under the device's lock: the sink
  // must not call back into the device.
  void SetTraceSink(std::function<void(const std::string&)> sink);

  // Memory access for tests and the control channel.
  std::vector<std::uint8_t> ReadFlash(std::uint32_t address, std::uint32_t length) const;
  std::vector<std::uint8_t> ReadMcu(std::uint32_t address, std::uint32_t length) const;
  bool WriteFlash(std::uint32_t address, std::span<const std::uint8_t> data);
  bool WriteMcu(std::uint32_t address, std::span<const std::uint8_t> data);
  void SetMeterLevels(const std::array<std::uint32_t, 4>& inputs, const std::array<std::uint32_t, 4>& outputs);
  void SetOutputStates(const std::array<std::uint16_t, 4>& states);
  void SetHwInfo(std::span<const std::uint8_t> bytes);
  bool IsMuted() const;
  bool IsReady() const;
  void InstallFirmwareImage(std::span<const std::uint8_t> file);
  // Runs fn on the memory under the device's lock.
  void WithMemory(const std::function<void(AmpMemory&)>& fn);

 private:
  enum class Phase {
    Idle,
    Armed,          // command accepted, waiting for "STA" (or "CNL")
    ReadSkip,       // next "ACK" is answered with "SKP"
    ReadData,       // next "ACK" is answered with "DAT"
    ReadDone,       // waiting for "END"
    WriteSkip,      // waiting for a skip count, or "END"/"CON" once every block is in
    WriteData,      // taking the four packets of a block
    WriteChecksum,  // waiting for the host's "CHE" of the block
    CmdData,        // "SE_CMD": waiting for the 6 data bytes
    CmdChecksum,
    CmdEnd,
  };

  std::optional<AmpReply> Dispatch(const Packet& packet);
  std::optional<AmpReply> AcceptCommand(const CommandRequest& request);
  std::optional<AmpReply> Start();
  std::optional<AmpReply> ReadNext();
  std::optional<AmpReply> WriteSkipCount(const Packet& packet);
  std::optional<AmpReply> WriteDataPacket(const Packet& packet);
  std::optional<AmpReply> WriteBlockChecksum(std::uint32_t hostChecksum);
  std::optional<AmpReply> WriteClose(bool end);
  std::optional<AmpReply> CommandChecksum(std::uint32_t hostChecksum);
  void ResetDevice();
  void Disappear(Millis absence);
  bool PresentLocked() const;
  AmpReply Reply(const Packet& packet) const;
  void Trace(const std::string& line) const;
  static bool TakeFault(int& count);

  const std::uint16_t vendorId_;
  const std::uint16_t productId_;
  const std::string serial_;
  const Model model_;
  const std::shared_ptr<AmpClock> clock_;

  mutable std::mutex mutex_;  // guards every field below
  AmpMode mode_;
  AmpMemory memory_;
  AmpTiming timing_;
  AmpFaults faults_;
  AmpCounters counters_;
  std::function<void(const std::string&)> trace_;
  bool unplugged_ = false;
  std::optional<TimePoint> absentUntil_;
  std::uint64_t generation_ = 0;

  // The transaction in progress.
  Phase phase_ = Phase::Idle;
  CommandRequest request_;
  std::vector<std::uint8_t> readData_;  // what a read transfers, taken at "STA"
  std::size_t position_ = 0;            // bytes of the read sent or covered by "SKP"
  RunningChecksum readChecksum_;
  std::uint32_t blocksTotal_ = 0;       // blocks of the write
  std::uint32_t blocksDone_ = 0;        // blocks committed or skipped
  std::array<std::uint8_t, kWriteBlock> block_{};
  std::size_t blockPackets_ = 0;
  std::vector<std::uint8_t> idData_;    // a write by id, applied when it is closed
  std::array<std::uint8_t, 6> commandBytes_{};
};

}  // namespace VirtualAmp
