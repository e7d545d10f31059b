// BootLoader: the simulated unit's resident boot loader. It takes the bytes that arrive on the
// line one at a time and answers each complete command as the self-programming boot-loader
// command set defines it, over a FlashMemory. It also plays a faulty unit on request.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bootsim/flash_memory.h"

namespace quillmar::bootsim {

// The unit's identity as the command set reports it: a 128 KiB part with 256-byte pages.
inline constexpr std::string_view kSoftwareIdentifier = "AVRBOOT";
inline constexpr std::array<uint8_t, 3> kSignatureBytes = {0x1E, 0x97, 0x02};
inline constexpr uint8_t kDeviceCode = 0x43;

// The `use`-th time `command` arrives (counting from 1) it is answered "?" and not carried out.
struct NackFault {
  uint8_t command = 0;
  uint32_t use = 0;
};

// Ways to make the unit misbehave; the default is a healthy unit.
struct Faults {
  std::optional<std::string> identifier;  // answered to "S" instead of "AVRBOOT"
  std::optional<uint64_t> silentAfter;    // bytes received before the unit goes dead
  std::vector<NackFault> nacks;
  std::optional<uint32_t> stuckAddress;  // flash byte that stores with bit 0 flipped
  bool noBlock = false;                  // block commands "b", "B", "g" are unknown
};

class BootLoader {
 public:
  explicit BootLoader(Faults faults = {});

  // Takes one byte from the line and appends the boot loader's answer, if any, to `reply`.
  void receive(uint8_t byte, std::vector<uint8_t>& reply);
  // Forgets a half-received command, as when the client went away in the middle of one.
  void dropPartialCommand() { pending_.clear(); }

  // Keeps every byte taken from the line from now on, for a test to compare dialogues.
  void keepTranscript() { keepTranscript_ = true; }
  const std::vector<uint8_t>& transcript() const { return transcript_; }

  uint64_t commandsCompleted() const { return completed_; }
  // How often `command` has been received complete.
  uint32_t uses(uint8_t command) const { return uses_[command]; }
  // Bytes taken from the line, until a silent unit stops listening.
  uint64_t bytesReceived() const { return received_; }
  // Bytes answered, and the answers they made up (one per command that has one).
  uint64_t bytesAnswered() const { return answered_; }
  uint64_t answers() const { return answers_; }
  uint32_t address() const { return address_; }
  FlashMemory& flash() { return flash_; }
  const FlashMemory& flash() const { return flash_; }

 private:
  using Args = std::span<const uint8_t>;
  using Reply = std::vector<uint8_t>;
  struct Command {
    uint8_t byte;
    uint8_t argCount;
    std::string_view reply;  // sent after the action
    void (BootLoader::*action)(Args args, Reply& reply);
  };
  static const Command kCommands[];

  static const Command* find(uint8_t byte);
  const Command* offered(uint8_t byte) const;
  size_t blockPayload() const;
  // Carries out the command in pending_ once it is complete.
  void take(Reply& reply);
  bool nacked(uint8_t byte);
  void complete(const Command* command, Reply& reply);

  void identify(Args args, Reply& reply);
  void setAddress(Args args, Reply& reply);
  void setExtendedAddress(Args args, Reply& reply);
  void loadLowByte(Args args, Reply& reply);
  void loadHighByte(Args args, Reply& reply);
  void writePage(Args args, Reply& reply);
  void readWord(Args args, Reply& reply);
  void erase(Args args, Reply& reply);
  void readLockBits(Args args, Reply& reply);
  void writeLockBits(Args args, Reply& reply);
  void writeEepromByte(Args args, Reply& reply);
  void readEepromByte(Args args, Reply& reply);
  void blockLoad(Args args, Reply& reply);
  void blockRead(Args args, Reply& reply);

  FlashMemory flash_;
  Faults faults_;
  Reply pending_;         // the command byte and the argument bytes received so far
  uint32_t address_ = 0;  // word address for flash, byte address for EEPROM
  uint8_t lowByte_ = 0xFF;
  uint8_t lockBits_ = 0xFF;
  uint64_t received_ = 0;
  uint64_t completed_ = 0;
  uint64_t answered_ = 0;
  uint64_t answers_ = 0;
  std::array<uint32_t, 256> uses_{};
  bool keepTranscript_ = false;
  std::vector<uint8_t> transcript_;
};

}  // namespace quillmar::bootsim
