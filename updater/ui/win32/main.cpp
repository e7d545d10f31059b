// QUILLmar_Update for Windows: a dialog program built from its resource script.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "ui/win32/updater_dialog.h"

namespace {

// The program takes one option, --block; any other argument is ignored, as it always was.
bool blockRequested() {
  for (int i = 1; i < __argc; ++i) {
    if (std::strcmp(__argv[i], "--block") == 0)
      return true;
  }
  return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  quillmar::ui::UpdaterDialog dialog(instance, blockRequested());
  dialog.run();
  return 0;
}
