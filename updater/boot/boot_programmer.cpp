#include "boot/boot_programmer.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <utility>

#include "boot/image_files.h"
#include "image/diag_print.h"
#include "image/fileio.h"
#include "image/replace_file.h"

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
constexpr uint8_t kBlockSupportQuery = 'b';
constexpr uint8_t kBlockLoad = 'B';
constexpr uint8_t kBlockRead = 'g';
constexpr uint8_t kFlashMemory = 'F';
constexpr uint8_t kAck = 0x0D;
constexpr uint8_t kYes = 'Y';

constexpr int kEscapeCount = 4;
constexpr const char* kSignature = "AVRBOOT";
constexpr const char* kVersionMarker = "CVersion ";
constexpr int kVersionLength = 4;

using image::formatText;

// Added to the last message of an update that fails once the erase has been sent.
constexpr const char* kErasedNote =
    "The unit's application is now erased or incomplete: run the update again; the unit will "
    "not work until an update has completed.";

// What is wrong with an image that loaded but must not be programmed, by whether it has data
// and whether it reached its end record; null for a usable one.
const char* imageFault(int size, bool endRecord) {
  if (size == 0 && !endRecord)
    return "holds no data records and no end-of-file record: it is empty or not an image file";
  if (size == 0)
    return "holds no data records: there is nothing to program";
  if (!endRecord)
    return "has no end-of-file record: the file is incomplete, perhaps a download cut short";
  return nullptr;
}

// A flash byte as it appears in the version scan: a zero byte would end the original's C
// string, so it is shown as "x".
char versionChar(int value) {
  return value == 0 ? 'x' : static_cast<char>(value);
}

}  // namespace

std::string escapeUnprintable(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown += c;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    shown += escaped;
  }
  return shown;
}

BootProgrammer::BootProgrammer(OperationUi& ui, std::ostream& diag, link::PortDevices devices,
                               uint16_t replyTimeoutMs)
    : ui_(ui),
      diag_(diag),
      link_(std::move(devices)),
      replyTimeoutMs_(replyTimeoutMs),
      imageBuffer_(kAppRegionBytes, 0xFF),
      readbackBuffer_(kAppRegionBytes, 0xFF) {}

// Opens the link on port `portIndex`; false, after showing the link's message, when it fails.
// Every operation starts byte by byte and with the unit not yet erased.
bool BootProgrammer::openLink(int portIndex) {
  blockBytes_ = 0;
  erased_ = false;
  const std::string error = link_.open(static_cast<uint16_t>(portIndex), link::kLinkBaudRate);
  if (!error.empty()) {
    ui_.showMessage(error);
    return false;
  }
  ui_.linkOpened(link_.deviceName());
  return true;
}

int BootProgrammer::updateApplication(int portIndex, const std::string& programFolder) {
  return updateApplication(portIndex, imageFileIn(programFolder));
}

int BootProgrammer::updateApplication(int portIndex, const ImageFile& file) {
  return withImage(portIndex, file, &BootProgrammer::runUpdate);
}

int BootProgrammer::verifyApplication(int portIndex, const ImageFile& file) {
  return withImage(portIndex, file, &BootProgrammer::runVerify);
}

// The image is loaded before the port opens, so that an empty or truncated one is refused
// without a word to the unit. A file that fails to load is reported only once the port is
// open, as the load comes after the open in the operation's order; its diagnostics wait until
// then. `step` runs on the open link.
int BootProgrammer::withImage(int portIndex, const ImageFile& file, ImageStep step) {
  if (const std::optional<std::string> refusal = imageRefusal(file)) {
    ui_.showMessage(*refusal + "\nNothing was sent to the unit.");
    return kImageRefused;
  }
  const ImageLoad image = loadImageFile(file);
  if (image.size >= 0) {
    if (const char* fault = imageFault(image.size, image.endRecord)) {
      diag_ << image.diagnostics;
      ui_.showMessage("\"" + file.path + "\" " + fault + ".\nNothing was sent to the unit.");
      return kImageRefused;
    }
  }
  if (!openLink(portIndex)) {
    return kPortOpenFailed;
  }
  const int result = (this->*step)(image);
  link_.close();
  return result;
}

int BootProgrammer::readApplication(int portIndex, const std::string& programFolder) {
  return readApplication(portIndex, readbackFileIn(programFolder));
}

// Where the read-back will be written is checked first: a read takes minutes, and its result
// must not be lost for want of a writable file.
int BootProgrammer::readApplication(int portIndex, const ImageFile& file) {
  if (const std::optional<std::string> blocker = image::replaceBlocker(file.path)) {
    ui_.showMessage("\"" + file.path + "\" cannot be written: " + *blocker +
                    ".\nNothing was read from the unit.");
    return kReadbackUnwritable;
  }
  if (!openLink(portIndex)) {
    return kPortOpenFailed;
  }
  const int result = runRead(file);
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

// Loads `path` into imageBuffer, keeping the diagnostics for the caller to pass on.
BootProgrammer::ImageLoad BootProgrammer::loadImageFile(const ImageFile& file) {
  std::ostringstream diagnostics;
  image::LoadDetails details;
  ImageLoad load;
  load.size = image::fileio(image::Input, file.path, file.format, imageBuffer_.data(),
                            kAppRegionBytes, diagnostics, &details);
  load.endRecord = details.endRecord;
  load.diagnostics = std::move(diagnostics).str();
  return load;
}

// What update and verify do first on the open link: report a file that failed to load, then
// check the boot loader. 0 or the failing step's negative code, its message shown.
int BootProgrammer::startWithImage(const ImageLoad& image) {
  diag_ << image.diagnostics;
  if (image.size < 0) {
    ui_.showFileMessage(formatText("file read error code %d terminating", image.size),
                        image.diagnostics);
    return image.size;
  }
  const int rc = checkSignature();
  if (rc < 0) {
    ui_.showMessage(formatText("signature check failed, rc=%d", rc));
    return rc;
  }
  queryBlockSupport();
  return 0;
}

// The update after the port has opened, with the image already loaded; the caller closes the
// link.
int BootProgrammer::runUpdate(const ImageLoad& image) {
  int rc = startWithImage(image);
  if (rc < 0)
    return rc;
  rc = prepareDevice();
  // Only a refused first "P" comes before the erase; from the erase on, the unit may be blank.
  const bool erased = rc != -1;
  if (rc < 0) {
    showUpdateFailure(formatText("initialization failed, rc=%d", rc), erased);
    return rc;
  }
  rc = writeFlash(image.size);
  if (rc < 0) {
    showUpdateFailure(formatText("error %d writing device, terminating", rc), erased);
    return rc;
  }
  ui_.setStatus("Verifying Data...");
  rc = readFlash(image.size);
  if (rc < 0) {
    showUpdateFailure(formatText("failed to read all of memory, rc=%d", rc), erased);
    return rc;
  }
  const std::string difference = verificationError(image.size);
  if (!difference.empty()) {
    showUpdateFailure(difference, erased);
    return -1;
  }
  return 0;
}

// The verify after the port has opened: only reads, then the comparison; the caller closes the
// link.
int BootProgrammer::runVerify(const ImageLoad& image) {
  int rc = startWithImage(image);
  if (rc < 0)
    return rc;
  rc = readFlash(image.size);
  if (rc < 0) {
    ui_.showMessage(formatText("failed to read all of memory, rc=%d", rc));
    return rc;
  }
  return verifyFlash(image.size) < 0 ? -1 : 0;
}

// The last message of a failed update; once the erase was sent it also says that the unit
// needs a new update.
void BootProgrammer::showUpdateFailure(const std::string& text, bool erased) {
  ui_.showMessage(erased ? text + "\n" + kErasedNote : text);
}

// The read-back after the port has opened; the caller closes the link.
int BootProgrammer::runRead(const ImageFile& readback) {
  int rc = checkSignature();
  if (rc < 0) {
    ui_.showMessage(formatText("signature check failed, rc=%d", rc));
    return rc;
  }
  queryBlockSupport();
  rc = readFlash(kAppRegionBytes);
  if (rc < 0) {
    ui_.showMessage(formatText("failed to read all of memory, rc=%d", rc));
    return rc;
  }
  std::ostringstream diagnostics;
  const int written = image::fileio(image::Output, readback.path, readback.format,
                                    readbackBuffer_.data(), rc, diagnostics);
  diag_ << diagnostics.str();
  if (written < 0) {
    ui_.showFileMessage(formatText("file write error code %d terminating", written),
                        diagnostics.str());
    return written;
  }
  return 0;
}

// Reads the first kVersionScanWords words outside programming mode and picks the version
// characters after the marker.
std::string BootProgrammer::scanVersion() {
  if (!command(kAutoIncrementQuery, kYes))
    return kNoVersion;
  queryBlockSupport();
  if (!setAddress(0, 0))
    return kNoVersion;
  std::string flash;
  flash.reserve(2 * kVersionScanWords);
  if (blockBytes_ > 0) {
    std::vector<uint8_t> bytes(2 * kVersionScanWords);
    for (int at = 0; at < 2 * kVersionScanWords; at += blockBytes_) {
      if (!readBlock(std::min(blockBytes_, 2 * kVersionScanWords - at), bytes.data() + at))
        return kNoVersion;
    }
    std::transform(bytes.begin(), bytes.end(), std::back_inserter(flash), versionChar);
  } else {
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
  }
  const std::string marker = kVersionMarker;
  const size_t at = flash.find(marker);
  if (at == std::string::npos)
    return kNoVersion;
  return flash.substr(at + marker.size(), kVersionLength);
}

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

// The answer is "Y" and the block size, high byte first. Blocks are kept within one page, so
// that a page of 0xFF can be left out and no block straddles two page writes.
void BootProgrammer::queryBlockSupport() {
  blockBytes_ = 0;
  if (!blockMode_)
    return;
  send(kBlockSupportQuery);
  if (receive() != kYes)
    return;
  const int high = receive();
  const int low = receive();
  if (high < 0 || low < 0)
    return;
  blockBytes_ = std::min((high << 8 | low) & ~1, kPageBytes);
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

// Sends the same bytes as writePages, one block load per block. A block of nothing but 0xFF
// is left out once this operation has erased the unit, since the erase left it so; the next
// block sent then sets its address first.
int BootProgrammer::writeBlocks(int size) {
  const long end = std::max(size + (size & 1), 2);
  long address = 0;  // where the boot loader's address points, as a byte address
  for (long first = 0; first < end; first += blockBytes_) {
    const long count = std::min<long>(blockBytes_, end - first);
    const auto data = imageBuffer_.begin() + first;
    const bool blank = std::all_of(data, data + count, [](uint8_t b) { return b == 0xFF; });
    if (!(blank && erased_)) {
      if (address != first && !setAddress(first >> 9, (first >> 1) & 0xFF))
        return -5;
      if (!loadBlock(first, count)) {
        ui_.showMessage(formatText("block %ld (addresses 0x%04lx - 0x%04lx) failed to write",
                                   first / blockBytes_, first, first + count - 1));
        return -1;
      }
      address = first + count;
    }
    ui_.setProgressPosition(static_cast<int>((first + count) / kPageBytes));
  }
  return leaveAfterWrite(end);
}

// Leaves programming mode after the last page; `next` is the bytes sent, the step's result.
int BootProgrammer::leaveAfterWrite(long next) {
  if (!command(kLeaveProgramming, kAck)) {
    ui_.showMessage("failed to exit programming mode");
    return -1;
  }
  return static_cast<int>(next);
}

// One block load of imageBuffer[first, first + count) into flash; true when acknowledged.
bool BootProgrammer::loadBlock(long first, long count) {
  send(kBlockLoad);
  send(static_cast<int>(count >> 8));
  send(static_cast<int>(count & 0xFF));
  send(kFlashMemory);
  for (long at = first; at < first + count; ++at)
    send(imageBuffer_[at]);
  return receive() == kAck;
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

// Reads the same bytes as readWords, one block read per block, and moves the progress bar at
// each page boundary. On a short block, blockFailure_ says which one.
bool BootProgrammer::readBlocks(int size, int& next) {
  const int end = std::max(size + (size & 1), 2);
  while (next < end) {
    const int count = std::min(blockBytes_, end - next);
    if (!readBlock(count, readbackBuffer_.data() + next)) {
      blockFailure_ = formatText("\nblock %d (addresses 0x%04x - 0x%04x) did not arrive whole",
                                 next / blockBytes_, next, next + count - 1);
      return false;
    }
    next += count;
    if (next / kPageBytes > (next - count) / kPageBytes)
      ui_.setProgressPosition(next / kPageBytes);
  }
  return true;
}

// One block read of `count` flash bytes from the current address into `into`; false as soon
// as a byte fails to arrive.
bool BootProgrammer::readBlock(int count, uint8_t* into) {
  send(kBlockRead);
  send(count >> 8);
  send(count & 0xFF);
  send(kFlashMemory);
  for (int at = 0; at < count; ++at) {
    const int value = receive();
    if (value < 0)
      return false;
    into[at] = static_cast<uint8_t>(value);
  }
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
