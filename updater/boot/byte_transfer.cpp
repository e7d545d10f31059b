// The steps of BootProgrammer on an open link, byte by byte: the boot loader's identifier, the
// erase, writing and reading the flash a word at a time, and the comparison; with the single
// commands they are built from.
#include <algorithm>

#include "boot/boot_commands.h"
#include "boot/boot_programmer.h"
#include "image/diag_print.h"

namespace quillmar::boot {

using image::formatText;

// A unit that does not send the identifier's first byte is not there at all: waiting for the
// other six would only cost six more time-outs.
int BootProgrammer::checkSignature() {
  sendEscapes();
  send(kSoftwareId);
  const int first = receive();
  if (first < 0) {
    ui_.showMessage("The unit does not answer on " + link_.deviceName() +
                    ".\nCheck that the null-modem cable connects this port to the unit's serial "
                    "port, that DIP switch #8 is on and DIP switch #1 (reset) off, and that the "
                    "unit has power.");
    return -1;
  }
  std::string received(1, static_cast<char>(first));
  while (received.size() < std::char_traits<char>::length(kSignature)) {
    received += static_cast<char>(receive() & 0xFF);  // a failed read shows as 0xFF or 0xFE
  }
  if (received != kSignature) {
    ui_.showMessage(escapeUnprintable(received) + " received, bad signature");
    return -1;
  }
  return command(kAutoIncrementQuery, kYes) ? 0 : -2;
}

int BootProgrammer::prepareDevice() {
  sendEscapes();
  if (!command(kEnterProgramming, kAck))
    return -1;
  if (!command(kChipErase, kAck))
    return -2;
  erased_ = true;
  if (!command(kEnterProgramming, kAck))
    return -3;
  if (!setAddress(0, 0))
    return -4;
  return 0;
}

int BootProgrammer::writeFlash(int size) {
  ui_.setProgressRange(size / kPageBytes);
  if (size > kAppRegionBytes) {
    ui_.showMessage(formatText("%d bytes requested to write, but memory region is only %d bytes",
                               size, kAppRegionBytes));
    return -1;
  }
  if (!setAddress(0, 0))
    return -5;
  return blockBytes_ > 0 ? writeBlocks(size) : writePages(size);
}

// Loads the image word by word and commits each full page and the last partial one. An odd
// size also sends the byte at `size` (0xFF from the loader's fill) as the last high byte.
int BootProgrammer::writePages(int size) {
  long next = 0;
  int pageFill = 0;
  for (;;) {
    for (uint8_t code : {kLoadLowByte, kLoadHighByte}) {
      const bool acknowledged = commandWithArgument(code, imageBuffer_[next]);
      ++next;
      if (!acknowledged) {
        ui_.showMessage(formatText("avr write byte failed at %ld", next));
        return -1;
      }
    }
    pageFill += 2;
    if (pageFill < kPageBytes && next < size)
      continue;
    pageFill = 0;
    const int rc = commitPage(next);
    if (rc < 0)
      return rc;
    ui_.setProgressPosition(static_cast<int>(next / kPageBytes));
    if (next >= size)
      break;
  }
  return leaveAfterWrite(next);
}

// Leaves programming mode after the last page; `next` is the bytes sent, the step's result.
int BootProgrammer::leaveAfterWrite(long next) {
  if (!command(kLeaveProgramming, kAck)) {
    ui_.showMessage("failed to exit programming mode");
    return -1;
  }
  return static_cast<int>(next);
}

// Writes the page that ends just before byte address `next`, then points the boot loader at
// the following page. 0, or writeFlash's failure code.
int BootProgrammer::commitPage(long next) {
  const long last = next - 1;
  if (!setAddress(last >> 9, (last >> 1) & 0x80))
    return -4;
  if (!command(kWritePage, kAck)) {
    const long first = last / kPageBytes * kPageBytes;
    ui_.showMessage(formatText("page %ld (addresses 0x%04lx - 0x%04lx) page failed to write",
                               first / kPageBytes, first, last));
    return -1;
  }
  if (!setAddress(next >> 9, (next >> 1) & 0x80))
    return -5;
  return 0;
}

int BootProgrammer::readFlash(int size) {
  ui_.setProgressRange(size / kPageBytes);
  if (!command(kEnterProgramming, kAck) || !setAddress(0, 0))
    return -1;
  if (size > kAppRegionBytes) {
    ui_.showMessage(formatText("%d bytes requested to read, but memory region is only %d bytes",
                               size, kAppRegionBytes));
    return -1;
  }
  int next = 0;
  blockFailure_.clear();
  const bool complete = blockBytes_ > 0 ? readBlocks(size, next) : readWords(size, next);
  if (!command(kLeaveProgramming, kAck)) {
    ui_.showMessage("failed to exit programming mode after read");
    return -1;
  }
  if (!complete) {
    ui_.showMessage("Failed while reading device" + blockFailure_);
    return -1;
  }
  return next;
}

// Reads words from the current address until `next` reaches size (at least one word).
// Returns false as soon as a reply byte fails; bytes received until then stay stored.
bool BootProgrammer::readWords(int size, int& next) {
  do {
    send(kReadWord);
    const int high = receive();
    if (high < 0)
      return false;
    readbackBuffer_[next + 1] = static_cast<uint8_t>(high);
    const int low = receive();
    if (low < 0)
      return false;
    readbackBuffer_[next] = static_cast<uint8_t>(low);
    next += 2;
    if (next % kPageBytes == 0)
      ui_.setProgressPosition(next / kPageBytes);
  } while (next < size);
  return true;
}

int BootProgrammer::verifyFlash(int size) {
  const std::string difference = verificationError(size);
  if (!difference.empty()) {
    ui_.showMessage(difference);
    return -1;
  }
  return size;
}

// verifyFlash's message, or "" when the buffers agree over [0, size).
std::string BootProgrammer::verificationError(int size) const {
  if (size > kAppRegionBytes) {
    return formatText("requested verification of %d bytes, memory only contains %d bytes", size,
                      kAppRegionBytes);
  }
  const auto end = imageBuffer_.begin() + std::max(size, 0);
  const auto [image, readback] = std::mismatch(imageBuffer_.begin(), end, readbackBuffer_.begin());
  if (image == end)
    return "";
  return formatText("Verification error at address %05x: was %02x should be %02x",
                    static_cast<unsigned>(image - imageBuffer_.begin()), *readback, *image);
}

// A stopped operation sends nothing more and hears nothing more, as a broken line would do.
void BootProgrammer::send(int value) {
  if (!stopRequested())
    link_.writeByte(value);
}

int BootProgrammer::receive() {
  return stopRequested() ? -1 : link_.readByte(replyTimeoutMs_);
}

// Sends a one-byte command and tells whether the expected reply came back.
bool BootProgrammer::command(uint8_t code, uint8_t reply) {
  send(code);
  return receive() == reply;
}

// Sends a command with one argument byte; true when acknowledged.
bool BootProgrammer::commandWithArgument(uint8_t code, uint8_t argument) {
  send(code);
  send(argument);
  return receive() == kAck;
}

// Sets the boot loader's word address from its two bytes (each sent as its low 8 bits).
bool BootProgrammer::setAddress(long highByte, long lowByte) {
  send(kSetAddress);
  send(static_cast<int>(highByte & 0xFF));
  send(static_cast<int>(lowByte & 0xFF));
  return receive() == kAck;
}

void BootProgrammer::sendEscapes() {
  for (int i = 0; i < kEscapeCount; ++i)
    send(kEscape);
}

}  // namespace quillmar::boot
