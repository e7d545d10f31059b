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
#include "boot/kept_copies.h"
#include "image/diag_print.h"
#include "image/fileio.h"
#include "platform/error_text.h"
#include "platform/replace_file.h"

namespace quillmar::boot {
namespace {

using image::formatText;

// Added to the last message of an update that fails once the erase has been sent.
constexpr const char* kErasedNote =
    "The unit's application is now erased or incomplete: run the update again; the unit will "
    "not work until an update has completed.";
// The same when a copy of the unit was kept before the erase; the copy's path follows.
constexpr const char* kErasedCopyNote =
    "The unit's application is now erased or incomplete; the unit will not work until an update "
    "has completed. Run the update again, or restore the copy kept before the erase: ";

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

// Why `file` must not be programmed, found before it is loaded: a restore's file that is
// missing or no image, an Intel HEX name on something else. The message one operation shows.
std::optional<std::string> refusalBeforeLoad(const ImageFile& file, bool restoring) {
  std::optional<std::string> refusal = restoring ? restoreRefusal(file) : std::nullopt;
  if (!refusal)
    refusal = imageRefusal(file);
  if (refusal)
    *refusal += "\nNothing was sent to the unit.";
  return refusal;
}

// The message for an image that loaded but must not be programmed; nothing for a usable one
// or one that failed to load (the operation reports that once its port is open).
std::optional<std::string> loadRefusal(const ImageFile& file, const ImageLoad& image) {
  const char* fault = image.size >= 0 ? imageFault(image.size, image.endRecord) : nullptr;
  if (!fault)
    return std::nullopt;
  return "\"" + file.path + "\" " + fault + ".\nNothing was sent to the unit.";
}

// Loads `file` into `buffer` (kAppRegionBytes), keeping the diagnostics for the caller.
ImageLoad loadInto(const ImageFile& file, uint8_t* buffer) {
  std::ostringstream diagnostics;
  image::LoadDetails details;
  ImageLoad load;
  load.size = image::fileio(image::Input, file.path, file.format, buffer, kAppRegionBytes,
                            diagnostics, &details);
  load.endRecord = details.endRecord;
  load.diagnostics = std::move(diagnostics).str();
  return load;
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

std::optional<LoadedImage> loadImageOnce(const ImageFile& file, bool restoring, std::ostream& diag,
                                         std::string& refusal) {
  if (std::optional<std::string> refused = refusalBeforeLoad(file, restoring)) {
    refusal = std::move(*refused);
    return std::nullopt;
  }
  LoadedImage loaded;
  loaded.bytes.assign(kAppRegionBytes, 0xFF);
  loaded.load = loadInto(file, loaded.bytes.data());
  if (loaded.load.size < 0) {
    const std::string& diagnostics = loaded.load.diagnostics;
    const std::size_t end = diagnostics.find_last_not_of('\n');
    refusal = formatText("file read error code %d terminating", loaded.load.size) +
              (end == std::string::npos ? "" : "\n" + diagnostics.substr(0, end + 1));
    return std::nullopt;
  }
  diag << loaded.load.diagnostics;
  loaded.load.diagnostics.clear();
  if (std::optional<std::string> refused = loadRefusal(file, loaded.load)) {
    refusal = std::move(*refused);
    return std::nullopt;
  }
  return loaded;
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
  facts_ = {};
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
  restoring_ = false;
  return withImage(portIndex, file, &BootProgrammer::runUpdate);
}

int BootProgrammer::restoreApplication(int portIndex, const ImageFile& file) {
  restoring_ = true;
  const int result = withImage(portIndex, file, &BootProgrammer::runUpdate);
  restoring_ = false;
  return result;
}

int BootProgrammer::verifyApplication(int portIndex, const ImageFile& file) {
  return withImage(portIndex, file, &BootProgrammer::runVerify);
}

// The image is loaded before the port opens (or was, once for several units), so that an empty
// or truncated one is refused without a word to the unit. A file that fails to load is reported
// only once the port is open, as the load comes after the open in the operation's order; its
// diagnostics wait until then. `step` runs on the open link.
int BootProgrammer::withImage(int portIndex, const ImageFile& file, ImageStep step) {
  ImageLoad image;
  if (loaded_) {
    std::copy(loaded_->bytes.begin(), loaded_->bytes.end(), imageBuffer_.begin());
    image = loaded_->load;
  } else {
    if (const std::optional<std::string> refusal = refusalBeforeLoad(file, restoring_)) {
      ui_.showMessage(*refusal);
      return kImageRefused;
    }
    image = loadImageFile(file);
    if (const std::optional<std::string> refusal = loadRefusal(file, image)) {
      diag_ << image.diagnostics;
      ui_.showMessage(*refusal);
      return kImageRefused;
    }
  }
  // A copy that can't be kept must not cost the read before it.
  if (step == &BootProgrammer::runUpdate && !safety_.legacy && safety_.keepCopy &&
      !safety_.dryRun) {
    if (const auto blocker = backupsBlocker(backupsFolder(safety_.dataFolder))) {
      ui_.showMessage(*blocker + "\nNothing was sent to the unit.");
      return -1;
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
ImageLoad BootProgrammer::loadImageFile(const ImageFile& file) {
  return loadInto(file, imageBuffer_.data());
}

// What update and verify do first on the open link: report a file that failed to load, then
// check the boot loader's identifier. 0 or the failing step's negative code, its message shown.
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
  return 0;
}

// The update after the port has opened, with the image already loaded; the caller closes the
// link.
int BootProgrammer::runUpdate(const ImageLoad& image) {
  int rc = startWithImage(image);
  if (rc < 0)
    return rc;
  if (safety_.legacy) {
    queryBlockSupport();
  } else if ((rc = guardUpdate(image)) != 0 || safety_.dryRun) {
    return rc;  // stopped before the erase, or a dry run's end
  }
  rc = prepareDevice();
  // Only a refused first "P" comes before the erase; from the erase on, the unit may be blank.
  const bool erased = rc != -1;
  if (rc < 0) {
    showUpdateFailure(formatText("initialization failed, rc=%d", rc), erased);
    return rc;
  }
  rc = writeFlash(image.size);
  facts_.bytesProgrammed = std::max(rc, 0);
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
  queryBlockSupport();
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
  facts_.erased = erased;
  if (!erased)
    ui_.showMessage(text);
  else if (facts_.keptCopy.empty())
    ui_.showMessage(text + "\n" + kErasedNote);
  else
    ui_.showMessage(text + "\n" + kErasedCopyNote + facts_.keptCopy);
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
  const std::optional<std::string> version = versionIn(readbackBuffer_);
  facts_.versions = {version, version};
  facts_.versionsKnown = true;
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
  std::vector<uint8_t> flash(kVersionScanBytes);
  if (blockBytes_ > 0) {
    for (int at = 0; at < kVersionScanBytes; at += blockBytes_) {
      if (!readBlock(std::min(blockBytes_, kVersionScanBytes - at), flash.data() + at))
        return kNoVersion;
    }
  } else {
    for (int at = 0; at < kVersionScanBytes; at += 2) {
      send(kReadWord);
      const int high = receive();
      if (high < 0)
        return kNoVersion;
      const int low = receive();
      if (low < 0)
        return kNoVersion;
      flash[at] = static_cast<uint8_t>(low);
      flash[at + 1] = static_cast<uint8_t>(high);
    }
  }
  return versionIn(flash).value_or(kNoVersion);
}

}  // namespace quillmar::boot
