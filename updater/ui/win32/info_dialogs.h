// The help dialog and the about box, each run modally over its owner.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quillmar::ui {

// Shows the help dialog with the full instructions; returns when "Close Help"
// is pressed.
void runHelpDialog(HINSTANCE instance, HWND owner);
// Shows the about box; returns when it is closed.
void runAboutDialog(HINSTANCE instance, HWND owner);

}  // namespace quillmar::ui
