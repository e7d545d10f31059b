// The choice of the kept copy that Restore programs: a modal dialog with the copies in a
// drop-down list, newest first and chosen at the start; Restore (the default) takes the one
// shown, Cancel or Escape none.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <vector>

namespace quillmar::ui {

// Offers `lines`, one per copy, over `owner`; the index of the copy chosen, or -1.
int runRestoreDialog(HINSTANCE instance, HWND owner, const std::vector<std::string>& lines);

}  // namespace quillmar::ui
