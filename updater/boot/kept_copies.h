// The kept copies of what units ran: before an update erases a unit, its whole application region
// is saved as an Intel HEX file in the backups folder of the user's data folder, named by the
// time, the port and the version it holds ("2026-12-09_195301_ttyUSB0_1.12.hex"). A copy counts
// only once it has been read back from the disk and found equal; the file appears under its name
// whole or not at all, so a copy cut short is never listed.
#pragma once

#include <cstdint>
#include <ctime>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "boot/image_files.h"

namespace quillmar::boot {

// The backups folder in `dataFolder`.
std::string backupsFolder(const std::string& dataFolder);

// The port as a file name part, as a copy's name and the files of several units carry it: below
// /dev/ the rest of its path ("ttyUSB0", "pts-1"), elsewhere its last part ("COM5" of
// "\\.\COM5"), each character that not every file system takes as "-".
std::string portNamePart(const std::string& device);

// The file name of a copy taken at `when` from the unit on `device` (a path or a COM name; only
// its last part is used) holding `version`.
std::string keptCopyName(const std::tm& when, const std::string& device,
                         const std::optional<std::string>& version);

// One kept copy as its name and contents describe it.
struct KeptCopy {
  std::string path;
  std::string when;     // "2026-12-09 19:53:01"
  std::string port;     // "ttyUSB0", "COM5"
  std::string version;  // "1.12", or kNoVersion
  int bytes = 0;        // the image's size, from address 0
};

// The kept copies in `folder`, newest first; files not named as copies are left out.
std::vector<KeptCopy> listKeptCopies(const std::string& folder);

// The `backups` command's table of `copies`, or a line saying there is none in `folder`.
std::string keptCopiesTable(const std::vector<KeptCopy>& copies, const std::string& folder);

// Saves `flash` (the whole region, trimmed of its trailing 0xFF pages) as `name` in `folder`,
// creating the folder, then reads the file back and compares it. The path, or the error that
// says why no copy could be kept (naming the folder). Nothing is saved for a flash of nothing but
// 0xFF: then the path is "" and the error too.
struct KeepOutcome {
  std::string path;
  std::string error;
};
KeepOutcome keepCopy(const std::string& folder, const std::string& name,
                     std::span<const uint8_t> flash, std::ostream& diag);

// Why `folder` cannot take a copy, found before the port opens: created if missing, then tried
// for writing. Nothing when it can.
std::optional<std::string> backupsBlocker(const std::string& folder);

// Why `file` cannot be restored, found before the port opens: a missing file, or one that is no
// image; nothing for a file the loader may judge.
std::optional<std::string> restoreRefusal(const ImageFile& file);

}  // namespace quillmar::boot
