// QUILLmar_Update for Windows: a dialog program built from its resource script. It takes the
// same command line as the Qt dialog, so a shortcut can carry --com1, --com2, --folder and
// --block; being a window program, it answers --help, --version and a bad command line in a
// message box, or on its standard streams where they lead somewhere (redirected to a file).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "boot/serial_ports.h"
#include "ui/common/dialog_choices.h"
#include "ui/common/dialog_resources.h"
#include "ui/win32/updater_dialog.h"

namespace {

// Writes `text` with Windows line ends to the standard stream `which`; false when the program
// has no such stream, as a window program started from the desktop or a console has not.
bool writeToStream(DWORD which, const std::string& text) {
  const HANDLE stream = GetStdHandle(which);
  if (stream == nullptr || stream == INVALID_HANDLE_VALUE)
    return false;
  std::string lines;
  for (const char c : text)
    lines += c == '\n' ? "\r\n" : std::string(1, c);
  DWORD written = 0;
  return WriteFile(stream, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) &&
         written == lines.size();
}

// Shows `text` on the stream `which`, or else in a message box with `icon`.
void tell(DWORD which, const std::string& text, UINT icon) {
  if (!writeToStream(which, text))
    MessageBoxA(nullptr, text.c_str(), quillmar::ui::kProgramName, MB_OK | icon);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::vector<std::string> arguments(__argv, __argv + __argc);
  const quillmar::ui::ProgramStart start =
      quillmar::ui::readDialogOptions(arguments, {}, quillmar::boot::comButtonPorts());
  switch (start.action) {
    case quillmar::ui::ProgramStart::ShowText:
      tell(STD_OUTPUT_HANDLE, start.text, MB_ICONINFORMATION);
      return 0;
    case quillmar::ui::ProgramStart::Refuse:
      tell(STD_ERROR_HANDLE, start.text, MB_ICONEXCLAMATION);
      return 2;
    case quillmar::ui::ProgramStart::RunDialog:
      break;
  }
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  quillmar::ui::UpdaterDialog dialog(
      instance,
      quillmar::ui::dialogSettings(start.options, quillmar::boot::listSerialPortDetails()));
  dialog.run();
  return 0;
}
