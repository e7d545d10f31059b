// QUILLmar_Update for Windows: a dialog program built from its resource script.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>

#include "updater_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  quillmar::ui::UpdaterDialog dialog(instance);
  dialog.run();
  return 0;
}
