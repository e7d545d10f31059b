// What an update does before the erase, so that it loses nothing and surprises no one: it reads
// the unit's versions, keeps a copy of what the unit ran (checked on the disk), and lets an older
// image or the same version through only when the user said so. The legacy choice leaves all of
// it out, for whoever needs the boot loader's dialogue exactly as it always was. A dry run reads
// what the update would read, says what would happen, and stops before anything changes.
#pragma once

#include <optional>
#include <string>

#include "boot/firmware_version.h"

namespace quillmar::boot {

struct UpdateSafety {
  bool legacy = false;          // none of the steps: no read before the erase, no copy, no history
  bool keepCopy = true;         // keep a copy of the unit before the erase
  bool allowOlder = false;      // program an image older than the unit's firmware
  bool allowReinstall = false;  // program the same version, or the very bytes the unit holds
  bool dryRun = false;          // stop before the erase, saying what would happen
  std::string dataFolder;       // holds the kept copies and the history
};

// What the gate decides before the erase.
enum class GateVerdict {
  Proceed,           // program the image
  AlreadyHeld,       // the unit holds these bytes already: nothing to program
  NeedsOlderYes,     // the image is older than the unit's firmware
  NeedsReinstallYes  // the image has the unit's version
};

// The verdict for `versions`; `identical` when the unit's region would be the same after
// programming. A restore goes back to a kept copy by design, so only `identical` stops it.
GateVerdict gateVerdict(const VersionPair& versions, bool identical, const UpdateSafety& safety,
                        bool restoring);

// The dialog's question for a verdict that needs a yes: "The unit has 1.12. The image is 1.10,
// older. Program the older version?"
std::string gateQuestion(const VersionPair& versions, GateVerdict verdict);

}  // namespace quillmar::boot
