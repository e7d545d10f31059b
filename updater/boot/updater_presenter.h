// UpdaterPresenter: the updater's button flows without any toolkit. It says which status
// text shows when and which operation runs with which port and folder; the dialog and the
// command line only pick the operation and show what OperationUi is told.
#pragma once

#include <ctime>
#include <functional>
#include <iosfwd>
#include <string>
#include <utility>

#include "boot/boot_programmer.h"
#include "boot/operation_record.h"

namespace quillmar::boot {

enum class Operation { Update, Read, Version, Verify, Restore };

// The status shown while Update writes the unit (the command line labels its bar by it).
inline constexpr const char* kProgrammingStatus = "Programming QUILLmar Application...";
// The same for Restore.
inline constexpr const char* kRestoringStatus = "Restoring QUILLmar Application...";

// The status that ends an update or restore the gate stopped, and one the unit already held.
inline constexpr const char* kRefusedStatus = "NOT UPDATED: NOTHING CHANGED";
inline constexpr const char* kAlreadyHeldStatus = "QUILLmar Already Holds This Image";

class UpdaterPresenter {
 public:
  // Owns the programmer (and through it the link and the image buffers) for the program run.
  UpdaterPresenter(OperationUi& ui, std::ostream& diag,
                   link::PortDevices devices = link::defaultPortDevices(),
                   uint16_t replyTimeoutMs = link::kReplyTimeoutMs);

  // Runs one whole operation on COM(portIndex + 1) with the image files in programFolder:
  // the start status, the operation, the outcome status. True on success; for Version, when
  // a version was found.
  bool run(Operation operation, int portIndex, const std::string& programFolder);
  // The same with the image (Update, Verify; Restore: the kept copy) and the read-back (Read)
  // in the files given. Unless the programmer's safety is legacy, an update, restore or read
  // appends its record to the history in the safety's data folder (a dry run does not).
  bool run(Operation operation, int portIndex, const ImageFile& image, const ImageFile& readback);

  // The USB serial number of the adapter behind a device ("" where none), for the records; by
  // default the port list's.
  using SerialLookup = std::function<std::string(const std::string& device)>;
  void setSerialLookup(SerialLookup lookup) { serialOf_ = std::move(lookup); }

  // The last operation's programmer result, and its record.
  int lastResult() const { return lastResult_; }
  const OperationRecord& lastRecord() const { return record_; }

  BootProgrammer& programmer() { return programmer_; }

 private:
  // Passes everything on to the dialog's or console's OperationUi and keeps what the record
  // needs: the last failure message and the device opened.
  class Tap : public OperationUi {
   public:
    explicit Tap(OperationUi& ui) : ui_(ui) {}
    void showMessage(const std::string& text) override;
    void showFileMessage(const std::string& text, const std::string& diagnostics) override;
    void setProgressRange(int steps) override { ui_.setProgressRange(steps); }
    void setProgressPosition(int step) override { ui_.setProgressPosition(step); }
    void setStatus(const std::string& text) override { ui_.setStatus(text); }
    bool confirmVersion(const VersionPair& versions, GateVerdict verdict) override {
      return ui_.confirmVersion(versions, verdict);
    }
    void linkOpened(const std::string& device) override;

    std::string lastMessage;
    std::string device;

   private:
    OperationUi& ui_;
  };

  bool runVersion(int portIndex);
  void record(Operation operation, const ImageFile& file, std::time_t started, double seconds);

  OperationUi& ui_;
  std::ostream& diag_;
  Tap tap_;
  BootProgrammer programmer_;
  SerialLookup serialOf_;
  int lastResult_ = 0;
  OperationRecord record_;
};

}  // namespace quillmar::boot
