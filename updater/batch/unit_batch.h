// UnitBatch: one operation on several units at once, one port each, as on a service bench with
// a USB hub. Each unit runs its own whole operation (its presenter, programmer, link and
// buffers) on a thread of its own, so that a unit that goes silent, an adapter pulled out or a
// port that fails to open fails only that unit; the others finish. The image is loaded and
// checked once, before any port opens: a bad image stops the batch before anything is erased.
// Every unit gets what one operation gets on its own: the versions before the erase, the kept
// copy, its record in the history.
//
// batch/ is the several-units layer over boot/, free of any toolkit, used by the command line
// (cli/) and the dialogs' shared part (ui/common/). It uses boot/ and the standard library only.
// Nothing in it is shared between units except what is read only (the plan, the loaded image)
// and the stop request; each unit's user interface is its own and is called on that unit's
// thread only.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "boot/image_files.h"
#include "boot/operation_record.h"
#include "boot/operation_ui.h"
#include "boot/serial_ports.h"
#include "boot/update_safety.h"
#include "boot/updater_presenter.h"

namespace quillmar::batch {

// One unit's port: the device to open, and its adapter's USB serial number ("" where none).
// A restore may give each unit its own kept copy in `image`; an empty path takes the plan's.
struct UnitPort {
  std::string device;
  std::string usbSerial;
  boot::ImageFile image{"", 0};
};

// What a batch does: the operation, on which ports, with which files and steps.
struct BatchPlan {
  boot::Operation operation = boot::Operation::Update;
  std::vector<UnitPort> ports;
  boot::ImageFile image;  // update, verify: the image; restore: the kept copy
  std::string output;     // read: the --output name or folder ("" for quillread.hex)
  std::string folder;     // the program folder, for the default files
  boot::UpdateSafety safety;
  bool block = false;
  uint16_t replyTimeoutMs = boot::kReplyTimeoutMs;
};

// How one unit's operation ended.
struct UnitResult {
  std::string port;       // the port's short name: "COM5", "ttyUSB0"
  std::string device;     // the device opened
  std::string usbSerial;  // "" where none
  int result = 0;         // BootProgrammer's code
  int exitStatus = 0;     // as a single operation's (boot/operation_record.h)
  bool stopped = false;   // the user stopped it
  boot::OperationRecord record;
  double seconds = 0;  // from the unit's start to its end
};

// The port's short name, for prefixes, file names and tables, as the kept copies name it:
// below /dev/ the rest of the path ("/dev/ttyUSB0" -> "ttyUSB0", "/dev/pts/3" -> "pts-3"),
// elsewhere the last part ("\\.\COM5" -> "COM5").
std::string portLabel(const std::string& device);

// True when an --output value names a folder: it ends in a path separator ("/" or "\\", on
// every system).
bool namesFolder(const std::string& output);

// Read's file for one unit: `output` with the port's label before its extension
// ("quillread.hex" -> "quillread-COM5.hex"), the default quillread.hex in `folder` likewise, or
// quillread-LABEL.hex inside `output` when that names a folder (ends in a path separator).
boot::ImageFile readbackFor(const std::string& output, const std::string& folder,
                            const std::string& device);

class UnitBatch {
 public:
  UnitBatch(BatchPlan plan, std::ostream& diag);
  ~UnitBatch();
  UnitBatch(const UnitBatch&) = delete;
  UnitBatch& operator=(const UnitBatch&) = delete;

  // Loads and checks the image once (update, verify, restore; nothing to do for read and
  // version), with the same checks and messages as one operation. The message that refuses it,
  // naming the file, when it must not be programmed: then no port may be opened. The load's
  // diagnostics go to `diag`.
  std::optional<std::string> prepare();

  // Runs the operation on every port at once; unit i reports to `uiFor(i)`, called on the
  // calling thread once per unit before any unit starts, whose interface must live until run
  // returns and is then called from that unit's thread only. Each unit's diagnostics reach
  // `diag` whole at its end, each line prefixed with its port's label and ": ". Returns when
  // every unit has ended, the results in the ports' order. Calls prepare() when it has not run;
  // with the image refused no port opens and the result is empty.
  using UiFor = std::function<boot::OperationUi&(std::size_t unit)>;
  std::vector<UnitResult> run(const UiFor& uiFor);

  // Asks every running unit to stop at its next byte; safe from any thread. A stopped unit
  // fails as one whose line broke, leaving the unit as a failed operation does. The request
  // holds for the batch's life: a unit started afterwards stops at its first byte.
  void stop();

 private:
  struct Shared;
  std::unique_ptr<Shared> shared_;
};

// `text` with each of its lines prefixed by `prefix` ("COM5: "); a last line without its line
// end gets one. The form of every unit's lines in a batch's output.
std::string prefixedLines(const std::string& text, const std::string& prefix);

// The line that ends a batch: "7 of 8 units updated" (read, verified, restored, answered).
std::string batchSummary(boot::Operation operation, const std::vector<UnitResult>& results);

// The table that ends a batch on the command line: port, USB serial number, versions
// before -> after, result, time; one line per unit.
std::string batchTable(const std::vector<UnitResult>& results);

}  // namespace quillmar::batch
