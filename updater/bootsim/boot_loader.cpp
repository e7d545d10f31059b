// BootLoader: command parsing, the command table and the actions behind it.
#include "bootsim/boot_loader.h"

#include <utility>

namespace quillmar::bootsim {

using namespace std::string_view_literals;

namespace {

constexpr uint8_t kAck = '\r';
constexpr uint8_t kUnknown = '?';
constexpr char kBlockSupport[] = {'Y', kPageBytes >> 8, kPageBytes & 0xFF};
constexpr char kDeviceCodes[] = {static_cast<char>(kDeviceCode), 0};
constexpr char kSignatureReply[] = {static_cast<char>(kSignatureBytes[2]),
                                    static_cast<char>(kSignatureBytes[1]),
                                    static_cast<char>(kSignatureBytes[0])};

}  // namespace

// One row per command: its byte, how many argument bytes follow it, the fixed answer, and the
// action (if any) that runs before the answer. Block load also carries its data (blockPayload).
const BootLoader::Command BootLoader::kCommands[] = {
    {0x1B, 0, ""sv, nullptr},                 // escape: ignored
    {'P', 0, "\r"sv, nullptr},                // enter programming mode
    {'L', 0, "\r"sv, nullptr},                // leave programming mode
    {'E', 0, "\r"sv, nullptr},                // exit the boot loader
    {'T', 1, "\r"sv, nullptr},                // select device type
    {'x', 1, "\r"sv, nullptr},                // set LED
    {'y', 1, "\r"sv, nullptr},                // clear LED
    {'a', 0, "Y"sv, nullptr},                 // auto-increment supported
    {'p', 0, "S"sv, nullptr},                 // programmer type: serial
    {'V', 0, "10"sv, nullptr},                // software version 1.0
    {'b', 0, {kBlockSupport, 3}, nullptr},    // block mode, buffer of one page
    {'t', 0, {kDeviceCodes, 2}, nullptr},     // supported device codes, 0-terminated
    {'s', 0, {kSignatureReply, 3}, nullptr},  // signature bytes, last byte first
    {'F', 0, "\xFF"sv, nullptr},              // low fuse bits
    {'N', 0, "\x9E"sv, nullptr},              // high fuse bits
    {'Q', 0, "\xFF"sv, nullptr},              // extended fuse bits
    {'S', 0, ""sv, &BootLoader::identify},    // software identifier
    {'A', 2, "\r"sv, &BootLoader::setAddress},
    {'H', 3, "\r"sv, &BootLoader::setExtendedAddress},
    {'c', 1, "\r"sv, &BootLoader::loadLowByte},
    {'C', 1, "\r"sv, &BootLoader::loadHighByte},
    {'m', 0, "\r"sv, &BootLoader::writePage},
    {'R', 0, ""sv, &BootLoader::readWord},
    {'e', 0, "\r"sv, &BootLoader::erase},
    {'r', 0, ""sv, &BootLoader::readLockBits},
    {'l', 1, "\r"sv, &BootLoader::writeLockBits},
    {'D', 1, "\r"sv, &BootLoader::writeEepromByte},
    {'d', 0, ""sv, &BootLoader::readEepromByte},
    {'B', 3, ""sv, &BootLoader::blockLoad},
    {'g', 3, ""sv, &BootLoader::blockRead},
};

BootLoader::BootLoader(Faults faults) : flash_(faults.stuckAddress), faults_(std::move(faults)) {}

const BootLoader::Command* BootLoader::find(uint8_t byte) {
  for (const Command& command : kCommands) {
    if (command.byte == byte) {
      return &command;
    }
  }
  return nullptr;
}

// The command `byte` starts, as this unit knows it: one without block support takes the
// block commands for unknown ones.
const BootLoader::Command* BootLoader::offered(uint8_t byte) const {
  if (faults_.noBlock && (byte == 'b' || byte == 'B' || byte == 'g')) {
    return nullptr;
  }
  return find(byte);
}

// Data bytes that follow a block load's three argument bytes: none for a memory type the
// boot loader refuses, so that the refusal does not swallow later commands.
size_t BootLoader::blockPayload() const {
  uint8_t memory = pending_[3];
  return memory == 'F' || memory == 'E' ? (pending_[1] << 8 | pending_[2]) : 0;
}

void BootLoader::receive(uint8_t byte, Reply& reply) {
  if (faults_.silentAfter && received_ >= *faults_.silentAfter) {
    return;
  }
  ++received_;
  if (keepTranscript_) {
    transcript_.push_back(byte);
  }
  pending_.push_back(byte);
  const size_t replied = reply.size();
  take(reply);
  if (reply.size() > replied) {
    answered_ += reply.size() - replied;
    ++answers_;
  }
}

void BootLoader::take(Reply& reply) {
  const Command* command = offered(pending_[0]);
  if (command == nullptr) {
    pending_.clear();
    ++completed_;
    reply.push_back(kUnknown);
    return;
  }
  size_t length = 1 + command->argCount;
  if (command->byte == 'B' && pending_.size() >= length) {
    length += blockPayload();
  }
  if (pending_.size() == length) {
    complete(command, reply);
  }
}

bool BootLoader::nacked(uint8_t byte) {
  uint32_t use = ++uses_[byte];
  for (const NackFault& nack : faults_.nacks) {
    if (nack.command == byte && nack.use == use) {
      return true;
    }
  }
  return false;
}

void BootLoader::complete(const Command* command, Reply& reply) {
  ++completed_;
  if (nacked(command->byte)) {
    reply.push_back(kUnknown);
  } else {
    if (command->action != nullptr) {
      (this->*command->action)(Args(pending_).subspan(1), reply);
    }
    reply.insert(reply.end(), command->reply.begin(), command->reply.end());
  }
  pending_.clear();
}

void BootLoader::identify(Args, Reply& reply) {
  std::string_view id = faults_.identifier ? *faults_.identifier : kSoftwareIdentifier;
  reply.insert(reply.end(), id.begin(), id.end());
}

void BootLoader::setAddress(Args args, Reply&) {
  address_ = args[0] << 8 | args[1];
}

void BootLoader::setExtendedAddress(Args args, Reply&) {
  address_ = args[0] << 16 | args[1] << 8 | args[2];
}

void BootLoader::loadLowByte(Args args, Reply&) {
  lowByte_ = args[0];
}

void BootLoader::loadHighByte(Args args, Reply&) {
  flash_.fillPageBuffer(address_, static_cast<uint16_t>(args[0] << 8 | lowByte_));
  ++address_;
}

void BootLoader::writePage(Args, Reply&) {
  flash_.writePage(address_);
}

void BootLoader::readWord(Args, Reply& reply) {
  uint16_t word = flash_.readWord(address_++);
  reply.push_back(static_cast<uint8_t>(word >> 8));
  reply.push_back(static_cast<uint8_t>(word));
}

void BootLoader::erase(Args, Reply&) {
  flash_.eraseApplication();
}

void BootLoader::readLockBits(Args, Reply& reply) {
  reply.push_back(lockBits_);
}

// Lock bits, like flash, can only be programmed (cleared), never set again.
void BootLoader::writeLockBits(Args args, Reply&) {
  lockBits_ &= args[0];
}

void BootLoader::writeEepromByte(Args args, Reply&) {
  flash_.eeprom()[address_++ % kEepromBytes] = args[0];
}

void BootLoader::readEepromByte(Args, Reply& reply) {
  reply.push_back(flash_.eeprom()[address_++ % kEepromBytes]);
}

// Flash data go word by word through the page buffer; each page is written as soon as the
// address leaves it, and a partly filled last page when the block ends.
void BootLoader::blockLoad(Args args, Reply& reply) {
  uint8_t memory = args[2];
  Args data = args.subspan(3);
  if (memory == 'E') {
    for (uint8_t byte : data) {
      flash_.eeprom()[address_++ % kEepromBytes] = byte;
    }
  } else if (memory == 'F') {
    bool pageOpen = false;
    for (size_t at = 0; at < data.size(); at += 2) {
      uint8_t high = at + 1 < data.size() ? data[at + 1] : 0xFF;
      flash_.fillPageBuffer(address_, static_cast<uint16_t>(high << 8 | data[at]));
      pageOpen = ++address_ % kPageWords != 0;
      if (!pageOpen) {
        flash_.writePage(address_ - 1);
      }
    }
    if (pageOpen) {
      flash_.writePage(address_ - 1);
    }
  } else {
    reply.push_back(kUnknown);
    return;
  }
  reply.push_back(kAck);
}

void BootLoader::blockRead(Args args, Reply& reply) {
  size_t size = args[0] << 8 | args[1];
  uint8_t memory = args[2];
  if (memory == 'E') {
    for (size_t at = 0; at < size; ++at) {
      reply.push_back(flash_.eeprom()[address_++ % kEepromBytes]);
    }
  } else if (memory == 'F') {
    for (size_t at = 0; at < size; at += 2) {
      uint16_t word = flash_.readWord(address_++);
      reply.push_back(static_cast<uint8_t>(word));
      if (at + 1 < size) {
        reply.push_back(static_cast<uint8_t>(word >> 8));
      }
    }
  } else {
    reply.push_back(kUnknown);
  }
}

}  // namespace quillmar::bootsim
