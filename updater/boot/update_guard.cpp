// BootProgrammer's steps before an update erases the unit: the unit's region read outside
// programming mode, both versions, the version gate, the kept copy, and the dry run's report.
// They only read; from the erase on the update is the dialogue it always was.
#include <algorithm>
#include <ctime>

#include "boot/boot_commands.h"
#include "boot/boot_programmer.h"
#include "boot/kept_copies.h"
#include "boot/transfer_estimate.h"
#include "image/diag_print.h"
#include "link/adapter_latency.h"
#include "platform/local_time.h"

namespace quillmar::boot {
namespace {

using image::formatText;

// What the dry run says of the gate's verdict.
const char* dryRunVerdict(GateVerdict verdict) {
  switch (verdict) {
    case GateVerdict::Proceed:
      return "The versions let the update go ahead.";
    case GateVerdict::AlreadyHeld:
      return "The unit already holds this image byte for byte: nothing would be programmed.";
    case GateVerdict::NeedsOlderYes:
      return "The image is older than the unit's firmware: the update would be refused unless "
             "allowed.";
    case GateVerdict::NeedsReinstallYes:
      return "The image has the unit's version: the update would be refused unless allowed.";
  }
  return "";
}

}  // namespace

// Reads the unit's region, shows both versions and applies the gate; keeps the copy. 0 to go
// on to the erase, else the update's result (kAlreadyHeld, kVersionRefused, a failure; a dry
// run's 0 or kVersionRefused comes back as its own result with the erase left out). The
// versions come from the region's start, so an older image is refused before the rest is read.
int BootProgrammer::guardUpdate(const ImageLoad& image) {
  const int copyBlock = offeredBlockBytes();
  blockBytes_ = blockMode_ ? copyBlock : 0;
  const bool whole = safety_.keepCopy;
  const int size = whole ? kAppRegionBytes : kVersionScanBytes;
  ui_.setProgressRange(size / kPageBytes);
  int next = 0;
  if (!setAddress(0, 0) || !readOn(kVersionScanBytes, copyBlock, next))
    return showReadFailure();
  facts_.versions = {versionIn(readbackBuffer_), versionIn(imageBuffer_)};
  facts_.versionsKnown = true;
  ui_.setStatus(versionLine(facts_.versions));
  const GateVerdict older = gateVerdict(facts_.versions, false, safety_, restoring_);
  if (older == GateVerdict::NeedsOlderYes) {
    if (safety_.dryRun)
      return reportDryRun(image, older, copyBlock);
    if (!ui_.confirmVersion(facts_.versions, older))
      return kVersionRefused;
  }
  if (!readOn(size, copyBlock, next))
    return showReadFailure();
  const bool identical = whole && readbackBuffer_ == imageBuffer_;
  const GateVerdict verdict = gateVerdict(facts_.versions, identical, safety_, restoring_);
  if (safety_.dryRun)
    return reportDryRun(image, verdict, copyBlock);
  if (verdict == GateVerdict::AlreadyHeld) {
    ui_.setStatus("The unit already holds this image byte for byte: nothing was programmed.");
    return kAlreadyHeld;
  }
  if (verdict == GateVerdict::NeedsReinstallYes && !ui_.confirmVersion(facts_.versions, verdict))
    return kVersionRefused;
  return whole ? keepUnitCopy() : 0;
}

// The message of a read before the erase that did not complete; its result.
int BootProgrammer::showReadFailure() {
  ui_.showMessage("The unit stopped answering while it was read before the update" + blockFailure_ +
                  ".\nNothing was erased.");
  return -1;
}

// Saves what was read as the kept copy and checks it on the disk. 0, or -1 with the reason
// shown: then nothing is erased.
int BootProgrammer::keepUnitCopy() {
  const std::string folder = backupsFolder(safety_.dataFolder);
  const std::string name = copyName();
  const KeepOutcome kept = keepCopy(folder, name, readbackBuffer_, diag_);
  if (!kept.error.empty()) {
    ui_.showMessage(kept.error + "\nNothing was erased.");
    return -1;
  }
  facts_.keptCopy = kept.path;
  ui_.setStatus(kept.path.empty() ? "The unit's application region is empty: there is no copy "
                                    "to keep."
                                  : "Kept a copy of the unit: " + kept.path);
  return 0;
}

// What the update would do from here, as status lines; kVersionRefused when the gate would
// refuse, kAlreadyHeld when there is nothing to program, else 0.
int BootProgrammer::reportDryRun(const ImageLoad& image, GateVerdict verdict, int copyBlock) {
  ui_.setStatus(dryRunVerdict(verdict));
  if (verdict == GateVerdict::AlreadyHeld)
    return kAlreadyHeld;
  const std::string folder = backupsFolder(safety_.dataFolder);
  ui_.setStatus(safety_.keepCopy
                    ? "A copy of the unit would be kept in " + folder + " as " + copyName()
                    : "No copy of the unit would be kept.");
  const int pages = (image.size + kPageBytes - 1) / kPageBytes;
  const int latency = link::adapterLatencyMs(link_.deviceName()).value_or(0);
  const long copyBytes = safety_.keepCopy ? kAppRegionBytes : kVersionScanBytes;
  ui_.setStatus(formatText("It would program %d bytes in %d pages (%s), %s in all.", image.size,
                           pages, blockBytes_ > 0 ? "block transfers" : "byte by byte",
                           roughDuration(estimatedUpdateMs(image.size, blockBytes_ > 0, copyBytes,
                                                           copyBlock > 0, latency))
                               .c_str()));
  return verdict == GateVerdict::Proceed ? 0 : kVersionRefused;
}

// The name a copy of the unit taken now gets: the time, the port and the unit's version.
std::string BootProgrammer::copyName() const {
  return keptCopyName(platform::localTime(std::time(nullptr)), link_.deviceName(),
                      facts_.versions.unit);
}

// Reads the flash from byte `next` (where the boot loader's address points) up to `end` into
// readbackBuffer outside programming mode, as the version query does, in blocks of `block`
// bytes where the boot loader offers them. False as soon as a reply fails.
bool BootProgrammer::readOn(int end, int block, int& next) {
  if (next >= end)
    return true;
  const int writeBlock = blockBytes_;
  blockBytes_ = block;
  blockFailure_.clear();
  const bool complete = block > 0 ? readBlocks(end, next) : readWords(end, next);
  blockBytes_ = writeBlock;
  return complete;
}

}  // namespace quillmar::boot
