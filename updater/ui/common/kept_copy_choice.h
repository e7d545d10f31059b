// The Restore choice of both dialogs, free of any toolkit: the copies of units kept in the user's
// data folder before their updates, one line each in the list the user picks from, newest first,
// and what the dialog says when there is none to go back to.
#pragma once

#include <string>
#include <vector>

#include "boot/image_files.h"
#include "boot/kept_copies.h"
#include "boot/update_safety.h"

namespace quillmar::ui {

// The kept copies on offer and the folder they lie in.
struct KeptCopyChoices {
  std::string folder;
  std::vector<boot::KeptCopy> copies;  // newest first
};

// The copies kept under the data folder of `safety`, read again each time the user asks.
KeptCopyChoices keptCopyChoices(const boot::UpdateSafety& safety);

// One copy as the list shows it: "2026-12-09 19:53:01   COM5   1.12   130560 bytes".
std::string keptCopyLine(const boot::KeptCopy& copy);

// The message for a Restore with no copy kept, naming `folder`.
std::string noKeptCopyMessage(const std::string& folder);

// The image file Restore programs from `copy`.
boot::ImageFile keptCopyImage(const boot::KeptCopy& copy);

}  // namespace quillmar::ui
