// dialog_probe: a test tool that looks into another program's dialog from
// outside, as a user's assistive tool would: it reads a control's text and
// presses keys or system-menu commands.
//   dialog_probe text TITLE ID           prints the text of control ID
//   dialog_probe key TITLE ID enter|escape
//                                         presses the key in the window's
//                                         focused control
//   dialog_probe click TITLE ID BUTTON   clicks the button with identifier
//   BUTTON dialog_probe syscommand TITLE ID N   chooses system-menu command N
//   of the window
// Each acts on the visible top-level window titled TITLE that holds a control
// ID (a message box and the dialog that opened it may share a title). Exit
// status 0 on success, 1 when there is no such window, 2 on a usage error.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Search {
  const char* title;
  int id;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<Search*>(data);
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  if (IsWindowVisible(window) && std::strcmp(title, search.title) == 0 &&
      GetDlgItem(window, search.id) != nullptr) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

// The visible top-level window titled `title` that holds control `id`, or null.
HWND findWindow(const char* title, int id) {
  Search search{title, id, nullptr};
  EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int printText(HWND window, int id) {
  const HWND control = GetDlgItem(window, id);
  char text[4096] = {};
  GetWindowTextA(control, text, sizeof text);
  std::fputs(text, stdout);
  return 0;
}

// Posts the key press to the control that has the focus in the window's thread,
// where the dialog's own message loop handles it as typed.
int pressKey(HWND window, const char* name) {
  const WPARAM key = std::strcmp(name, "enter") == 0    ? VK_RETURN
                     : std::strcmp(name, "escape") == 0 ? VK_ESCAPE
                                                        : 0;
  if (key == 0) {
    return 2;
  }
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const HWND target =
      GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr ? info.hwndFocus : window;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool text = argc == 4 && std::strcmp(argv[1], "text") == 0;
  const bool key = argc == 5 && std::strcmp(argv[1], "key") == 0;
  const bool click = argc == 5 && std::strcmp(argv[1], "click") == 0;
  const bool command = argc == 5 && std::strcmp(argv[1], "syscommand") == 0;
  if (!text && !key && !click && !command) {
    std::fputs("usage: dialog_probe text|key|click|syscommand TITLE ID [ARG]\n", stderr);
    return 2;
  }
  const int id = std::atoi(argv[3]);
  const HWND window = findWindow(argv[2], id);
  if (window == nullptr) {
    return 1;
  }
  if (text) {
    return printText(window, id);
  }
  if (key) {
    return pressKey(window, argv[4]);
  }
  if (click) {
    const HWND button = GetDlgItem(window, std::atoi(argv[4]));
    return button != nullptr && PostMessageA(button, BM_CLICK, 0, 0) ? 0 : 1;
  }
  PostMessageA(window, WM_SYSCOMMAND, static_cast<WPARAM>(std::atoi(argv[4])), 0);
  return 0;
}
