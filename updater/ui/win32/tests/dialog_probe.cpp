// dialog_probe: a test tool that looks into another program's dialog from
// outside, as a user's assistive tool would: it reads a control's text or the
// keyboard's state, and presses keys, buttons or system-menu commands.
//   dialog_probe text TITLE ID              prints the text of control ID
//   dialog_probe state TITLE ID             prints where the keyboard points:
//                                           "focus F default D checked C", the
//                                           ids of the focused control, the
//                                           button drawn as the default and the
//                                           checked radio button (0: none)
//   dialog_probe checked TITLE ID           prints 1 when the check box ID is
//                                           ticked, 0 when not
//   dialog_probe key TITLE ID KEY           posts the key to the window's
//                                           focused control
//   dialog_probe type TITLE ID KEY          types the key on the keyboard
//   dialog_probe click TITLE ID BUTTON      sends a click message to the
//                                           button with identifier BUTTON
//   dialog_probe mouse TITLE ID BUTTON      clicks the mouse on that button
//   dialog_probe syscommand TITLE ID N      chooses system-menu command N
//   dialog_probe settext TITLE ID TEXT      replaces the text of control ID, as
//                                           typing it into an edit box would
// KEY is enter, escape, tab, space or down. "key" and "click" are messages to the
// window; "type" and "mouse" are input as the user gives it, to whatever the
// system routes it to. Each acts on the visible top-level window titled TITLE
// that holds a control ID (a message box and the dialog that opened it may
// share a title); ID 0 stands for a window without controls, as a console's.
// Exit status 0 on success, 1 when there is no such window or button, 2 on a
// usage error.
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
      (search.id == 0 || GetDlgItem(window, search.id) != nullptr)) {
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

// Asks the control for its text, as GetWindowText does not for another program's window: a
// drop-down list answers with its chosen entry.
int printText(HWND window, int id) {
  const HWND control = GetDlgItem(window, id);
  char text[4096] = {};
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  std::fputs(text, stdout);
  return 0;
}

// Asks the check box for its state, as IsDlgButtonChecked does within one program.
int printChecked(HWND window, int id) {
  const HWND box = GetDlgItem(window, id);
  std::fputs(SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0", stdout);
  return 0;
}

// The control of `window` that has the keyboard focus in the window's thread,
// or null when the focus is elsewhere or nowhere.
HWND focusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!GetGUIThreadInfo(thread, &info) || !IsChild(window, info.hwndFocus)) {
    return nullptr;
  }
  return info.hwndFocus;
}

struct Found {
  int defaultId = 0;
  int checkedId = 0;
};

BOOL CALLBACK noteButton(HWND control, LPARAM data) {
  auto& found = *reinterpret_cast<Found*>(data);
  const LRESULT code = SendMessageA(control, WM_GETDLGCODE, 0, 0);
  if (code & DLGC_DEFPUSHBUTTON) {
    found.defaultId = GetDlgCtrlID(control);
  }
  if ((code & DLGC_RADIOBUTTON) && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    found.checkedId = GetDlgCtrlID(control);
  }
  return TRUE;
}

int printState(HWND window) {
  Found found;
  EnumChildWindows(window, noteButton, reinterpret_cast<LPARAM>(&found));
  const HWND focus = focusedControl(window);
  std::printf("focus %d default %d checked %d", focus != nullptr ? GetDlgCtrlID(focus) : 0,
              found.defaultId, found.checkedId);
  return 0;
}

WORD virtualKey(const char* name) {
  static constexpr struct {
    const char* name;
    WORD key;
  } kKeys[] = {{"enter", VK_RETURN},
               {"escape", VK_ESCAPE},
               {"tab", VK_TAB},
               {"space", VK_SPACE},
               {"down", VK_DOWN}};
  for (const auto& known : kKeys) {
    if (std::strcmp(name, known.name) == 0) {
      return known.key;
    }
  }
  return 0;
}

// Posts the key press to the control that has the focus in the window's thread,
// where the dialog's own message loop handles it as typed.
int postKey(HWND window, WORD key) {
  const HWND focus = focusedControl(window);
  const HWND target = focus != nullptr ? focus : window;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
  return 0;
}

// Sends `count` input events and waits a moment for the system to route them.
int sendInput(INPUT* inputs, UINT count) {
  const UINT sent = SendInput(count, inputs, sizeof(INPUT));
  Sleep(200);
  return sent == count ? 0 : 1;
}

int typeKey(WORD key) {
  INPUT inputs[2] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return sendInput(inputs, 2);
}

// Moves the mouse to the middle of `control` and clicks its left button there.
int clickMouse(HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    input.mi.dx = MulDiv(middle.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(middle.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
  }
  inputs[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  return sendInput(inputs, 3);
}

enum class Command { Text, Checked, State, Key, Type, Click, Mouse, SysCommand, SetText };

struct CommandName {
  const char* name;
  Command command;
  int argc;  // including the program, the command, TITLE and ID
};

constexpr CommandName kCommands[] = {
    {"text", Command::Text, 4},       {"checked", Command::Checked, 4},
    {"state", Command::State, 4},     {"key", Command::Key, 5},
    {"type", Command::Type, 5},       {"click", Command::Click, 5},
    {"mouse", Command::Mouse, 5},     {"syscommand", Command::SysCommand, 5},
    {"settext", Command::SetText, 5},
};

const CommandName* findCommand(int argc, char** argv) {
  for (const CommandName& known : kCommands) {
    if (argc == known.argc && std::strcmp(argv[1], known.name) == 0) {
      return &known;
    }
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const CommandName* command = argc >= 4 ? findCommand(argc, argv) : nullptr;
  const WORD key = argc == 5 ? virtualKey(argv[4]) : 0;
  if (command == nullptr ||
      ((command->command == Command::Key || command->command == Command::Type) && key == 0)) {
    std::fputs(
        "usage: dialog_probe text|checked|state|key|type|click|mouse|syscommand|settext TITLE ID "
        "[ARG]\n",
        stderr);
    return 2;
  }
  const int id = std::atoi(argv[3]);
  const HWND window = findWindow(argv[2], id);
  if (window == nullptr) {
    return 1;
  }
  switch (command->command) {
    case Command::Text:
      return printText(window, id);
    case Command::Checked:
      return printChecked(window, id);
    case Command::State:
      return printState(window);
    case Command::Key:
      return postKey(window, key);
    case Command::Type:
      return typeKey(key);
    case Command::Click:
    case Command::Mouse: {
      const HWND button = GetDlgItem(window, std::atoi(argv[4]));
      if (button == nullptr) {
        return 1;
      }
      if (command->command == Command::Mouse) {
        return clickMouse(button);
      }
      return PostMessageA(button, BM_CLICK, 0, 0) ? 0 : 1;
    }
    case Command::SysCommand:
      PostMessageA(window, WM_SYSCOMMAND, static_cast<WPARAM>(std::atoi(argv[4])), 0);
      return 0;
    case Command::SetText:
      // SetWindowText would not reach a control of another program; the message does.
      return SendMessageA(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]))
                 ? 0
                 : 1;
  }
  return 2;
}
