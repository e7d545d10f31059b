// BootProgrammer: drives the unit's resident boot loader over the serial link to program,
// read back and identify the application firmware. One object per program run owns the
// link and both image buffers; every whole operation opens the link at its start and
// closes it on every path before it returns. The operations' flows are in boot_programmer.cpp,
// the steps' byte dialogue in byte_transfer.cpp, the block transfers in block_transfer.cpp.
#pragma once

#include <atomic>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "boot/firmware_version.h"
#include "boot/image_files.h"
#include "boot/operation_ui.h"
#include "boot/update_safety.h"
#include "link/serial_link.h"

namespace quillmar::boot {

// Size of the unit's application flash region, byte addresses 0..kAppRegionBytes-1.
inline constexpr int kAppRegionBytes = 130560;
// One page-write command commits this many bytes.
inline constexpr int kPageBytes = 256;
// The version marker is looked for in this many words from word 0.
inline constexpr int kVersionScanWords = 4096;
// Result of a whole operation whose port could not be opened.
inline constexpr int kPortOpenFailed = -999;
// Result of an update refused for an image without data or without its end record, or for a
// file named as Intel HEX that is none.
inline constexpr int kImageRefused = -1;
// Result of a read refused because its file could not be written.
inline constexpr int kReadbackUnwritable = -1;
// Result of an update whose image the unit already holds byte for byte: nothing was programmed.
inline constexpr int kAlreadyHeld = 1;
// Result of an update refused by the version gate before the erase: nothing changed.
inline constexpr int kVersionRefused = -1000;
static_assert(2 * kVersionScanWords == kVersionScanBytes);

// `text` with every byte outside printable ASCII written as \xNN, so that an identifier
// received from the unit shows what came, in a box as on a console.
std::string escapeUnprintable(const std::string& text);

// An image file loaded into an image buffer: fileio's result (one past the highest address
// loaded, or its negative error code), whether the end record was reached, and the
// diagnostics not yet passed on.
struct ImageLoad {
  int size = -1;
  bool endRecord = false;
  std::string diagnostics;
};

// An image loaded and checked once for several units (batch/), before any port opens: each
// unit's programmer copies the bytes into its own image buffer.
struct LoadedImage {
  std::vector<uint8_t> bytes;  // kAppRegionBytes, 0xFF where the file has nothing
  ImageLoad load;              // its diagnostics already passed on
};

// Loads `file` as an update, verify or (`restoring`) restore would before its port opens, with
// the same checks. Nothing, with `refusal` set to the message one operation would show, when it
// must not be programmed; a load that failed gives its message followed by the load's
// diagnostics. The diagnostics of an image that loaded go to `diag`.
std::optional<LoadedImage> loadImageOnce(const ImageFile& file, bool restoring, std::ostream& diag,
                                         std::string& refusal);

class BootProgrammer {
 public:
  // `ui` receives messages and progress, `diag` the image files' diagnostics. The reply
  // time-out applies to every awaited byte; the product uses the link's 20 s.
  BootProgrammer(OperationUi& ui, std::ostream& diag,
                 link::PortDevices devices = link::defaultPortDevices(),
                 uint16_t replyTimeoutMs = link::kReplyTimeoutMs);

  // Programs "quillmar.hex" from `programFolder` into the unit and verifies it by reading it
  // back. 0 on success, else the failing step's negative code (kPortOpenFailed: no port;
  // kImageRefused: an image without data or end record, refused before the port opens).
  // Unless safety().legacy, the steps of UpdateSafety come before the erase: kAlreadyHeld
  // and kVersionRefused end it there; a dry run ends there with 0 or kVersionRefused.
  int updateApplication(int portIndex, const std::string& programFolder);
  // The same with the image taken from `file`.
  int updateApplication(int portIndex, const ImageFile& file);
  // An update that goes back to the kept copy `file`: the version gate lets any version
  // through, only an image the unit already holds is not programmed again.
  int restoreApplication(int portIndex, const ImageFile& file);
  // Saves the whole application region into "quillread.hex" in `programFolder`. 0 on
  // success, else a negative code (kReadbackUnwritable: the file can't be written, found
  // before the port opens). Never changes the unit.
  int readApplication(int portIndex, const std::string& programFolder);
  // The same into `file`.
  int readApplication(int portIndex, const ImageFile& file);
  // Reads the unit back over the image's size and compares it with the image from `file`,
  // without erasing or writing anything. 0 when they agree, else a negative code
  // (kPortOpenFailed, kImageRefused as for an update; -1 on a difference, with its message).
  int verifyApplication(int portIndex, const ImageFile& file);
  // The four characters after the marker "CVersion " in the first 8192 bytes of flash
  // (fewer when the scan ends sooner), or kNoVersion.
  std::string queryVersion(int portIndex);

  // With block mode on, each operation asks the boot loader whether it offers block
  // transfers and, when it does, loads and reads whole pages with one command each. A boot
  // loader that does not offer them gets the byte-by-byte dialogue, as with block mode off.
  void setBlockMode(bool enabled) { blockMode_ = enabled; }
  // The block size the current (or last) operation uses; 0 for the byte-by-byte dialogue.
  int blockBytes() const { return blockBytes_; }

  // Update, verify and restore take the image from `image`, loaded and checked once by the
  // caller (loadImageOnce), instead of loading their file; null: they load it. It must
  // outlive the operations.
  void useLoadedImage(const LoadedImage* image) { loaded_ = image; }
  // Once `*stop` is set (from any thread), no byte is sent and every awaited one fails, so
  // the running operation ends as on a broken line, leaving the unit as such a failure does.
  // Null: nothing stops it.
  void setStopRequest(const std::atomic<bool>* stop) { stop_ = stop; }

  // The steps an update takes before the erase, and where it keeps copies.
  void setSafety(const UpdateSafety& safety) { safety_ = safety; }
  const UpdateSafety& safety() const { return safety_; }

  // What the last operation found and did, for its record.
  struct Facts {
    VersionPair versions;        // update, restore: before the erase; read: the unit's, both
    bool versionsKnown = false;  // the versions were read
    std::string keptCopy;        // the copy kept before the erase; "" for none
    long bytesProgrammed = 0;    // bytes sent by the write
    bool erased = false;         // the erase was sent
  };
  const Facts& facts() const { return facts_; }

  // The steps, on an already open link. Each returns a negative code on failure.
  // Checks the boot loader's identifier and its auto-increment support: 0, -1 or -2.
  int checkSignature();
  // In block mode, asks the boot loader for block support and sets blockBytes(); otherwise
  // (and on any answer but "Y" with a size) leaves it 0.
  void queryBlockSupport();
  // Enters programming mode, erases, and sets the address to 0: 0, or -1..-4.
  int prepareDevice();
  // Programs imageBuffer[0, size) page by page; returns the bytes sent (size made even).
  int writeFlash(int size);
  // Reads the flash from address 0 into readbackBuffer; returns the bytes stored.
  int readFlash(int size);
  // Compares the two buffers over [0, size); returns size when they agree.
  int verifyFlash(int size);

  std::vector<uint8_t>& imageBuffer() { return imageBuffer_; }
  std::vector<uint8_t>& readbackBuffer() { return readbackBuffer_; }
  link::SerialLink& serialLink() { return link_; }

 private:
  using ImageStep = int (BootProgrammer::*)(const ImageLoad& image);

  bool openLink(int portIndex);
  ImageLoad loadImageFile(const ImageFile& file);
  int withImage(int portIndex, const ImageFile& file, ImageStep step);
  int startWithImage(const ImageLoad& image);
  int runUpdate(const ImageLoad& image);
  int guardUpdate(const ImageLoad& image);
  int keepUnitCopy();
  int reportDryRun(const ImageLoad& image, GateVerdict verdict, int copyBlock);
  bool readOn(int end, int block, int& next);
  int showReadFailure();
  std::string copyName() const;
  int offeredBlockBytes();
  int runVerify(const ImageLoad& image);
  void showUpdateFailure(const std::string& text, bool erased);
  std::string verificationError(int size) const;
  int runRead(const ImageFile& readback);
  std::string scanVersion();
  int writePages(int size);
  int writeBlocks(int size);
  int leaveAfterWrite(long next);
  int commitPage(long next);
  bool readWords(int size, int& next);
  bool readBlocks(int size, int& next);
  bool readBlock(int count, uint8_t* into);
  bool loadBlock(long first, long count);

  void send(int value);
  int receive();
  bool command(uint8_t code, uint8_t reply);
  bool commandWithArgument(uint8_t code, uint8_t argument);
  bool setAddress(long highByte, long lowByte);
  void sendEscapes();
  bool stopRequested() const { return stop_ != nullptr && stop_->load(std::memory_order_relaxed); }

  OperationUi& ui_;
  std::ostream& diag_;
  link::SerialLink link_;
  uint16_t replyTimeoutMs_;
  bool blockMode_ = false;
  int blockBytes_ = 0;        // block size of the running operation; 0: byte by byte
  bool erased_ = false;       // the running operation has erased the unit
  bool restoring_ = false;    // the running update restores a kept copy
  std::string blockFailure_;  // which block read came back short
  UpdateSafety safety_;
  Facts facts_;
  const LoadedImage* loaded_ = nullptr;
  const std::atomic<bool>* stop_ = nullptr;
  std::vector<uint8_t> imageBuffer_;
  std::vector<uint8_t> readbackBuffer_;
};

}  // namespace quillmar::boot
