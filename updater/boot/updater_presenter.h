// UpdaterPresenter: the updater's button flows without any toolkit. It says which status
// text shows when and which operation runs with which port and folder; the dialog and the
// command line only pick the operation and show what OperationUi is told.
#pragma once

#include <iosfwd>
#include <string>

#include "boot/boot_programmer.h"

namespace quillmar::boot {

enum class Operation { Update, Read, Version, Verify };

// The status shown while Update writes the unit (the command line labels its bar by it).
inline constexpr const char* kProgrammingStatus = "Programming QUILLmar Application...";

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
  // The same with the image (Update, Verify) and the read-back (Read) in the files given.
  bool run(Operation operation, int portIndex, const ImageFile& image, const ImageFile& readback);

  BootProgrammer& programmer() { return programmer_; }

 private:
  bool runVersion(int portIndex);

  OperationUi& ui_;
  BootProgrammer programmer_;
};

}  // namespace quillmar::boot
