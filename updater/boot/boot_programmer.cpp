#include "updater/boot/boot_programmer.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>

#include "updater/boot/image_files.h"
#include "updater/image/fileio.h"

namespace quillmar::boot {
namespace {

// Boot-loader command bytes and replies.
constexpr uint8_t kEscape = 0x1B;
constexpr uint8_t kSoftwareId = 'S';
constexpr uint8_t kAutoIncrementQuery = 'a';
constexpr uint8_t kEnterProgramming = 'P';
constexpr uint8_t kChipErase = 'e';
constexpr uint8_t kSetAddress = 'A';
constexpr uint8_t kLoadLowByte = 'c';
constexpr uint8_t kLoadHighByte = 'C';
constexpr uint8_t kWritePage = 'm';
constexpr uint8_t kReadWord = 'R';
constexpr uint8_t kLeaveProgramming = 'L';
constexpr uint8_t kAck = 0x0D;
constexpr uint8_t kYes = 'Y';

constexpr int kEscapeCount = 4;
constexpr const char* kSignature = "AVRBOOT";
constexpr const char* kVersionMarker = "CVersion ";
constexpr int kVersionLength = 4;

// The message boxes' printf-style texts.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
formatText(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// A flash byte as it appears in the version scan: a zero byte would end the original's C
// string, so it is shown as "x".
char versionChar(int value) {
  return value == 0 ? 'x' : static_cast<char>(value);
}

}  // namespace

BootProgrammer::BootProgrammer(OperationUi& ui, std::ostream& diag, link::PortDevices devices,
                               uint16_t replyTimeoutMs)
    : ui_(ui),
      diag_(diag),
      link_(std::move(devices)),
      replyTimeoutMs_(replyTimeoutMs),
      imageBuffer_(kAppRegionBytes, 0xFF),
      readbackBuffer_(kAppRegionBytes, 0xFF) {}

// Opens the link on port `portIndex`; false, after showing the link's message, when it fails.
bool BootProgrammer::openLink(int portIndex) {
  const std::string error = link_.open(static_cast<uint16_t>(portIndex), link::kLinkBaudRate);
  if (!error.empty()) {
    ui_.showMessage(error);
    return false;
  }
  return true;
}

int BootProgrammer::updateApplication(int portIndex, const std::string& programFolder) {
  const std::string imagePath = imageFilePath(programFolder);
  if (!openLink(portIndex)) {
    return kPortOpenFailed;
  }
  const int result = runUpdate(imagePath);
  link_.close();
  return result;
}

int BootProgrammer::readApplication(int portIndex, const std::string& programFolder) {
  const std::string readbackPath = readbackFilePath(programFolder);
  if (!openLink(portIndex)) {
    return kPortOpenFailed;
  }
  const int result = runRead(readbackPath);
  link_.close();
  return result;
}

std::string BootProgrammer::queryVersion(int portIndex) {
  if (!openLink(portIndex)) {
    return kNoVersion;
  }
  std::string version = scanVersion();
  link_.close();
  return version;
}

// The update after the port has opened; the caller closes the link.
int BootProgrammer::runUpdate(const std::string& imagePath) {
  const int size = image::fileio(image::Input, imagePath, image::IntelHex, imageBuffer_.data(),
                                 kAppRegionBytes, diag_);
  if (size < 0) {
    ui_.showMessage(formatText("file read error code %d terminating", size));
    return size;
  }
  int rc = checkSignature();
  if (rc < 0) {
    ui_.showMessage(formatText("signature check failed, rc=%d", rc));
    return rc;
  }
  rc = prepareDevice();
  if (rc < 0) {
    ui_.showMessage(formatText("initialization failed, rc=%d", rc));
    return rc;
  }
  rc = writeFlash(size);
  if (rc < 0) {
    ui_.showMessage(formatText("error %d writing device, terminating", rc));
    return rc;
  }
  ui_.setStatus("Verifying Data...");
  rc = readFlash(size);
  if (rc < 0) {
    ui_.showMessage(formatText("failed to read all of memory, rc=%d", rc));
    return rc;
  }
  rc = verifyFlash(size);
  return rc < 0 ? rc : 0;
}

// The read-back after the port has opened; the caller closes the link.
int BootProgrammer::runRead(const std::string& readbackPath) {
  int rc = checkSignature();
  if (rc < 0) {
    ui_.showMessage(formatText("signature check failed, rc=%d", rc));
    return rc;
  }
  rc = readFlash(kAppRegionBytes);
  if (rc < 0) {
    ui_.showMessage(formatText("failed to read all of memory, rc=%d", rc));
    return rc;
  }
  const int written = image::fileio(image::Output, readbackPath, image::IntelHex,
                                    readbackBuffer_.data(), rc, diag_);
  if (written < 0) {
    ui_.showMessage(formatText("file write error code %d terminating", written));
    return written;
  }
  return 0;
}

// Reads the first kVersionScanWords words outside programming mode and picks the version
// characters after the marker.
std::string BootProgrammer::scanVersion() {
  if (!command(kAutoIncrementQuery, kYes) || !setAddress(0, 0))
    return kNoVersion;
  std::string flash;
  flash.reserve(2 * kVersionScanWords);
  for (int word = 0; word < kVersionScanWords; ++word) {
    send(kReadWord);
    const int high = receive();
    if (high < 0)
      return kNoVersion;
    const int low = receive();
    if (low < 0)
      return kNoVersion;
    flash += versionChar(low);
    flash += versionChar(high);
  }
  const std::string marker = kVersionMarker;
  const size_t at = flash.find(marker);
  if (at == std::string::npos)
    return kNoVersion;
  return flash.substr(at + marker.size(), kVersionLength);
}

int BootProgrammer::checkSignature() {
  sendEscapes();
  send(kSoftwareId);
  std::string received;
  for (size_t i = 0; i < std::char_traits<char>::length(kSignature); ++i) {
    received += static_cast<char>(receive() & 0xFF);  // a failed read shows as 0xFF or 0xFE
  }
  if (received != kSignature) {
    ui_.showMessage(received + " received, bad signature");
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
  return writePages(size);
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
  const bool complete = readWords(size, next);
  if (!command(kLeaveProgramming, kAck)) {
    ui_.showMessage("failed to exit programming mode after read");
    return -1;
  }
  if (!complete) {
    ui_.showMessage("Failed while reading device");
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
  if (size > kAppRegionBytes) {
    ui_.showMessage(formatText("requested verification of %d bytes, memory only contains %d bytes",
                               size, kAppRegionBytes));
    return -1;
  }
  const auto end = imageBuffer_.begin() + std::max(size, 0);
  const auto [image, readback] = std::mismatch(imageBuffer_.begin(), end, readbackBuffer_.begin());
  if (image != end) {
    ui_.showMessage(formatText("Verification error at address %05x: was %02x should be %02x",
                               static_cast<unsigned>(image - imageBuffer_.begin()), *readback,
                               *image));
    return -1;
  }
  return size;
}

void BootProgrammer::send(int value) {
  link_.writeByte(value);
}

int BootProgrammer::receive() {
  return link_.readByte(replyTimeoutMs_);
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
