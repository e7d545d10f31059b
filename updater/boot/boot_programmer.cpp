// BootProgrammer's whole operations: what each button does, from opening the link to the
// outcome, with the image files loaded and saved around them. The steps' byte dialogue is in
// byte_transfer.cpp, the block transfers in block_transfer.cpp.
#include "boot/boot_programmer.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <utility>

#include "boot/boot_commands.h"
#include "boot/image_files.h"
#include "image/diag_print.h"
#include "image/fileio.h"
#include "platform/error_text.h"
#include "platform/replace_file.h"

namespace quillmar::boot {
namespace {

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
  if (const std::optional<std::string> blocker = platform::replaceBlocker(file.path)) {
    ui_.showMessage("\"" + file.path + "\" cannot be written: " +
                    platform::withoutFullStop(*blocker) + ".\nNothing was read from the unit.");
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

}  // namespace quillmar::boot
