#include "ui/win32/updater_dialog.h"

#include <algorithm>
#include <iostream>

#include "ui/common/kept_copy_choice.h"
#include "ui/common/operation_buttons.h"
#include "ui/win32/info_dialogs.h"
#include "ui/win32/resource.h"
#include "ui/win32/restore_dialog.h"
#include "ui/win32/several_units_window.h"

namespace quillmar::ui {
namespace {

// The shared table names the buttons by the portable ids; the resource script
// must give them the same numbers.
static_assert(kIdOk == IDOK && kIdRead == IDC_READ && kIdVersion == IDC_VERSION &&
              kIdRestore == IDC_RESTORE && kIdKeepCopy == IDC_KEEP_COPY &&
              kIdSeveralUnits == IDC_SEVERAL_UNITS);

// Appends a separator and the about item to the window's system menu, unless
// its text is empty.
void addAboutItem(HINSTANCE instance, HWND dialog) {
  char text[128] = {};
  const HMENU menu = GetSystemMenu(dialog, FALSE);
  if (menu != nullptr && LoadStringA(instance, IDS_ABOUTBOX, text, sizeof text) > 0) {
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
  }
}

// The width in pixels the widest of the ports' labels needs in `control`'s font.
int widestText(HWND control, const std::vector<boot::ComPort>& ports) {
  const HDC context = GetDC(control);
  const HGDIOBJ old =
      SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (const boot::ComPort& port : ports) {
    SIZE size{};
    GetTextExtentPoint32A(context, port.label.c_str(), static_cast<int>(port.label.size()), &size);
    widest = std::max<int>(widest, size.cx);
  }
  SelectObject(context, old);
  ReleaseDC(control, context);
  return widest;
}

}  // namespace

UpdaterDialog::UpdaterDialog(HINSTANCE instance, const DialogSettings& settings)
    : instance_(instance),
      largeIcon_(LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME))),
      smallIcon_(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME),
                                               IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR))),
      settings_(settings),
      programFolder_(settings.programFolder),
      block_(settings.block),
      legacy_(settings.safety.legacy),
      choices_(settings),
      presenter_(ui_, std::cerr, boot::defaultPortDevices(), settings.replyTimeoutMs) {}

UpdaterDialog::~UpdaterDialog() {
  if (worker_.joinable()) {
    worker_.join();
  }
  if (smallIcon_ != nullptr) {
    DestroyIcon(smallIcon_);
  }
}

INT_PTR UpdaterDialog::run() {
  return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_QUILLMAR_UPDATE_DIALOG), nullptr,
                         OwnedDialogProc<UpdaterDialog>, reinterpret_cast<LPARAM>(this));
}

// The about item, icons, the file rows, Com1 with its port, fast transfers and
// the copy as chosen (legacy keeps none: the box says so and can't be ticked);
// the help dialog follows once the dialog shows.
void UpdaterDialog::initialise(HWND dialog) {
  dialog_ = dialog;
  ui_.attach(dialog_);
  addAboutItem(instance_, dialog_);
  SendMessageA(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
  SendMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  files_.attach(dialog_, programFolder_);
  CheckRadioButton(dialog_, IDC_COM1, IDC_COM2, IDC_COM1);
  CheckDlgButton(dialog_, IDC_FAST_TRANSFERS, block_ ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog_, IDC_KEEP_COPY, choices_.keepCopy() ? BST_CHECKED : BST_UNCHECKED);
  EnableWindow(GetDlgItem(dialog_, IDC_KEEP_COPY), legacy_ ? FALSE : TRUE);
  showPortChoices();
  PostMessageA(dialog_, kShowHelp, 0, 0);
}

INT_PTR UpdaterDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (ui_.handle(message, wParam, lParam)) {
    return TRUE;
  }
  switch (message) {
    case kShowHelp:
      runHelpDialog(instance_, dialog_);
      return TRUE;
    case kOperationDone:
      finishOperation();
      return TRUE;
    case WM_DROPFILES:
      dropFiles(reinterpret_cast<HDROP>(wParam));
      return TRUE;
    case WM_COMMAND:
      return command(LOWORD(wParam), HIWORD(wParam));
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        runAboutDialog(instance_, dialog_);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

// A button, Enter (IDOK) or Escape and the close command (IDCANCEL), a Com
// button checked or the port list used. False leaves the command to the
// dialog's default handling.
bool UpdaterDialog::command(int id, int notification) {
  if (worker_.joinable()) {
    return true;  // an operation is running: no input is taken
  }
  if (files_.command(id)) {
    return true;
  }
  for (const OperationButton& button : kOperationButtons) {
    if (button.id == id) {
      startOperation(button.operation);
      return true;
    }
  }
  switch (id) {
    case ID_HELP:
      runHelpDialog(instance_, dialog_);
      return true;
    case IDC_RESTORE:
      restore();
      return true;
    case IDC_SEVERAL_UNITS:
      severalUnits();
      return true;
    case IDCANCEL:
      EndDialog(dialog_, IDCANCEL);
      return true;
    case IDC_COM1:
    case IDC_COM2:
      if (notification == BN_CLICKED)
        showPortChoices();
      return false;
    case IDC_PORT_LIST:
      return portListCommand(notification);
    default:
      return false;
  }
}

// The list is read again before it opens and when it gains the keyboard focus
// (an adapter plugged in since shows up); a choice changes the checked
// button's port.
bool UpdaterDialog::portListCommand(int notification) {
  switch (notification) {
    case CBN_DROPDOWN:
    case CBN_SETFOCUS:
      showPortChoices();
      return true;
    case CBN_SELCHANGE:
      choosePort();
      return true;
    default:
      return false;
  }
}

int UpdaterDialog::checkedButton() const {
  return IsDlgButtonChecked(dialog_, IDC_COM2) == BST_CHECKED ? 1 : 0;
}

// Fills the port list for the checked button; its opened list is as wide as
// the widest entry.
void UpdaterDialog::showPortChoices() {
  const PortChoices choices = choices_.choices(checkedButton());
  listed_ = choices.ports;
  const HWND list = GetDlgItem(dialog_, IDC_PORT_LIST);
  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (const boot::ComPort& port : listed_)
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port.label.c_str()));
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(choices.current), 0);
  const int margin = 2 * GetSystemMetrics(SM_CXVSCROLL);
  SendMessageA(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widestText(list, listed_) + margin),
               0);
}

void UpdaterDialog::choosePort() {
  const LRESULT index = SendDlgItemMessageA(dialog_, IDC_PORT_LIST, CB_GETCURSEL, 0, 0);
  if (index >= 0 && index < static_cast<LRESULT>(listed_.size()))
    choices_.choose(checkedButton(), listed_[static_cast<size_t>(index)]);
}

void UpdaterDialog::startOperation(boot::Operation operation) {
  const std::optional<boot::OperationFiles> files = files_.filesFor(operation);
  if (files) {
    runOperation(operation, *files);
  }
}

// The copies are read again each time; with none kept, a box names the folder
// they would be in.
void UpdaterDialog::restore() {
  const KeptCopyChoices kept = keptCopyChoices(choices_.safety());
  if (kept.copies.empty()) {
    showInformation(dialog_, noKeptCopyMessage(kept.folder));
    return;
  }
  std::vector<std::string> lines;
  for (const boot::KeptCopy& copy : kept.copies)
    lines.push_back(keptCopyLine(copy));
  const int chosen = runRestoreDialog(instance_, dialog_, lines);
  if (chosen < 0) {
    return;
  }
  boot::OperationFiles files = files_.filesFor(boot::Operation::Restore).value();
  files.image = keptCopyImage(kept.copies[static_cast<size_t>(chosen)]);
  runOperation(boot::Operation::Restore, files);
}

// The window runs over the dialog, taking its files and check boxes as they are when a run
// starts.
void UpdaterDialog::severalUnits() {
  SeveralUnitsHost host;
  host.filesFor = [this](boot::Operation operation) { return files_.filesFor(operation); };
  host.runChoices = [this] {
    return RunChoices{IsDlgButtonChecked(dialog_, IDC_FAST_TRANSFERS) == BST_CHECKED,
                      IsDlgButtonChecked(dialog_, IDC_KEEP_COPY) == BST_CHECKED};
  };
  runSeveralUnitsWindow(instance_, dialog_, settings_, host);
}

// Reads the port from the radio buttons and the safety steps from the check
// box, asks about fast transfers where a slow adapter makes that worth it (Yes
// the default: it only speeds the operation up), and runs `operation` on
// `files` on a worker thread.
// The dialog is locked meanwhile: it paints, but takes no clicks, keys or close
// command; the message boxes it opens stay usable.
void UpdaterDialog::runOperation(boot::Operation operation, const boot::OperationFiles& files) {
  portChoice_ = checkedButton();
  choices_.setKeepCopy(IsDlgButtonChecked(dialog_, IDC_KEEP_COPY) == BST_CHECKED);
  choices_.setFast(IsDlgButtonChecked(dialog_, IDC_FAST_TRANSFERS) == BST_CHECKED);
  choices_.prepare(
      presenter_.programmer(), operation, portChoice_,
      [this](const std::string& question) { return askYesNo(dialog_, question, false); });
  CheckDlgButton(dialog_, IDC_FAST_TRANSFERS, choices_.fast() ? BST_CHECKED : BST_UNCHECKED);
  lock_.engage(dialog_);
  ui_.operationStarted(operation, choices_.fast(), choices_.safety());
  worker_ = std::thread([this, operation, port = portChoice_, files] {
    presenter_.run(operation, port, files.image, files.readback);
    PostMessageA(dialog_, kOperationDone, 0, 0);
  });
}

// A file dropped onto the dialog becomes the image, unless an operation runs.
void UpdaterDialog::dropFiles(HDROP files) {
  if (worker_.joinable()) {
    DragFinish(files);
    return;
  }
  files_.drop(files);
}

void UpdaterDialog::finishOperation() {
  worker_.join();
  ui_.operationEnded();
  lock_.release();
  SetForegroundWindow(dialog_);
}

}  // namespace quillmar::ui
