// The "Several units" window: its rows made from the shared template, its runs and Cancel.
#include "ui/win32/several_units_window.h"

#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <array>
#include <iostream>
#include <string>
#include <vector>

#include "ui/common/dialog_resources.h"
#include "ui/common/operation_buttons.h"
#include "ui/win32/dialog_operation_ui.h"
#include "ui/win32/owned_dialog.h"
#include "ui/win32/resource.h"

namespace quillmar::ui {
namespace {

static_assert(kIdUnitRows == IDC_UNIT_ROWS && kIdSummary == IDC_SUMMARY);

// The ports are read again this often while no run is under way, for the adapters plugged in
// where the system sends no word of it.
constexpr UINT_PTR kPortTimer = 1;
constexpr UINT kPortPollMs = 2000;
// The rows start this many dialog units below the frame's top edge, clear of its line.
constexpr int kRowsTop = 4;
// Text of the failed rows.
constexpr COLORREF kFailedColour = RGB(192, 0, 0);

// The controls that start a run, disabled during one.
constexpr int kRunButtons[] = {IDOK, IDC_READ, IDC_VERSION, IDC_RESTORE};

// The window class and styles a row control of `kind` is made with.
struct ControlClass {
  const char* name;
  DWORD style;
};

ControlClass controlClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::CheckBox:
      return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
    case ControlKind::ProgressBar:
      return {PROGRESS_CLASSA, WS_BORDER};
    default:
      // The row's texts: one line each, cut with an ellipsis where it is too long.
      return {"STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS};
  }
}

// An outcome of several messages on one line.
std::string oneLine(std::string text) {
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
    text.replace(at, 1, "; ");
  return text;
}

// The rectangle of `control` in its dialog's client coordinates.
RECT placeOf(HWND dialog, HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// Sets a control's text only where it differs, so that rows updated often do not flicker.
void setText(HWND control, const std::string& text) {
  std::array<char, 1024> shown{};
  GetWindowTextA(control, shown.data(), static_cast<int>(shown.size()));
  if (text != shown.data())
    SetWindowTextA(control, text.c_str());
}

class SeveralUnitsWindow {
 public:
  SeveralUnitsWindow(const DialogSettings& settings, const SeveralUnitsHost& host)
      : host_(host), model_(settings, std::cerr) {}

  template <class Owner>
  friend INT_PTR CALLBACK ui::OwnedDialogProc(HWND, UINT, WPARAM, LPARAM);

 private:
  // One row's controls, in the template's order.
  using RowControls = std::vector<HWND>;

  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  void initialise(HWND window);
  void command(int id, int notification);
  // Reads the ports again when no run is under way; new or missing ones remake the rows.
  void readPorts();
  // Destroys the rows shown and makes one per row of the model.
  void makeRows();
  // Shows the rows from `first` on in the frame's places, the others hidden, and the scroll bar
  // where they do not all fit.
  void scrollTo(int first);
  void scroll(WPARAM request);
  void showRow(std::size_t index);
  void showAll();
  void start(boot::Operation operation);
  void startRestore();
  void runWith(boot::Operation operation, const boot::OperationFiles& files);
  void runEnded();
  void setRunning(bool running);
  void cancel();
  // The text colour of a failed row's status and outcome.
  INT_PTR colour(HDC context, HWND control);
  // The row whose control `control` (kIdRowTick ...) has `id`, or -1 for other controls.
  int rowOf(int id, int control) const;

  const SeveralUnitsHost& host_;
  SeveralUnits model_;
  HWND window_ = nullptr;
  std::vector<RowControls> rows_;
  std::vector<bool> marked_;  // per row: drawn as failed
  RECT frame_{};              // the rows' frame, in pixels
  HWND scrollBar_ = nullptr;
  int places_ = 0;  // the rows the frame shows at once
  int first_ = 0;   // the row shown at the top
};

INT_PTR SeveralUnitsWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kUnitRowChanged:
      if (wParam < rows_.size())
        showRow(wParam);
      return TRUE;
    case kUnitsRunEnded:
      runEnded();
      return TRUE;
    case WM_TIMER:
      if (wParam == kPortTimer)
        readPorts();
      return TRUE;
    case WM_DEVICECHANGE:
      if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE ||
          wParam == DBT_DEVNODES_CHANGED)
        readPorts();
      return TRUE;
    case WM_VSCROLL:
      scroll(wParam);
      return TRUE;
    case WM_MOUSEWHEEL:
      scrollTo(first_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return colour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
      command(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

// The model's callbacks post to the window, whose handle outlives every run (the window closes
// only when none is under way); the scroll bar at the frame's right edge, the rows, and the
// timer that reads the ports again.
void SeveralUnitsWindow::initialise(HWND window) {
  window_ = window;
  model_.onRowChanged([window](std::size_t row) {
    PostMessageA(window, kUnitRowChanged, static_cast<WPARAM>(row), 0);
  });
  model_.onRunEnded([window] { PostMessageA(window, kUnitsRunEnded, 0, 0); });
  frame_ = placeOf(window_, GetDlgItem(window_, IDC_UNIT_ROWS));
  RECT inside{0, 0, 0, kRowsTop};
  MapDialogRect(window_, &inside);
  const int width = GetSystemMetrics(SM_CXVSCROLL);
  scrollBar_ = CreateWindowExA(
      0, "SCROLLBAR", "", WS_CHILD | SBS_VERT, frame_.right - width - 2, frame_.top + inside.bottom,
      width, frame_.bottom - frame_.top - 2 * inside.bottom, window_, nullptr,
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE)), nullptr);
  RECT row{0, 0, 0, kUnitRowLayout.h};
  MapDialogRect(window_, &row);
  places_ = std::max<int>(1, (frame_.bottom - frame_.top - 2 * inside.bottom) / row.bottom);
  makeRows();
  SetTimer(window_, kPortTimer, kPortPollMs, nullptr);
}

void SeveralUnitsWindow::command(int id, int notification) {
  for (const OperationButton& button : kOperationButtons) {
    if (button.id == id) {
      start(button.operation);
      return;
    }
  }
  if (id == IDC_RESTORE) {
    start(boot::Operation::Restore);
  } else if (id == IDCANCEL) {
    cancel();
  } else if (const int row = rowOf(id, kIdRowTick); row >= 0 && notification == BN_CLICKED) {
    model_.tick(static_cast<std::size_t>(row), SendMessageA(rows_[static_cast<std::size_t>(row)][0],
                                                            BM_GETCHECK, 0, 0) == BST_CHECKED);
  }
}

void SeveralUnitsWindow::readPorts() {
  if (model_.running())
    return;
  if (model_.readPorts())
    makeRows();
  else
    showAll();  // a description may have changed
}

// The rows follow the frame in the tab order, one after another.
void SeveralUnitsWindow::makeRows() {
  for (const RowControls& row : rows_) {
    for (const HWND control : row)
      DestroyWindow(control);
  }
  rows_.clear();
  const std::size_t count = model_.size();
  const HFONT font = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
  const HINSTANCE instance =
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
  HWND previous = GetDlgItem(window_, IDC_UNIT_ROWS);
  for (std::size_t index = 0; index < count; ++index) {
    RowControls row;
    for (const ControlRow& control : kUnitRowLayout.controls) {
      const ControlClass kind = controlClass(control.kind);
      const HWND made = CreateWindowExA(
          0, kind.name, control.text, WS_CHILD | kind.style, 0, 0, 0, 0, window_,
          reinterpret_cast<HMENU>(static_cast<INT_PTR>(unitRowControlId(control.id, index))),
          instance, nullptr);
      SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      SetWindowPos(made, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      previous = made;
      row.push_back(made);
    }
    rows_.push_back(std::move(row));
  }
  marked_.assign(count, false);
  scrollTo(first_);
  showAll();
}

// A row's controls take their template places in the frame; with the scroll bar shown, the
// outcome ends short of it.
void SeveralUnitsWindow::scrollTo(int first) {
  const int count = static_cast<int>(rows_.size());
  first_ = std::clamp(first, 0, std::max(0, count - places_));
  const bool scrolls = count > places_;
  RECT bar;
  GetWindowRect(scrollBar_, &bar);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bar), 2);
  for (int index = 0; index < count; ++index) {
    const int place = index - first_;
    const bool shown = place >= 0 && place < places_;
    for (std::size_t at = 0; at < kUnitRowLayout.controls.size(); ++at) {
      const ControlRow& control = kUnitRowLayout.controls[at];
      const int top = kRowsTop + place * kUnitRowLayout.h + control.y;
      RECT where{control.x, top, control.x + control.w, top + control.h};
      MapDialogRect(window_, &where);
      OffsetRect(&where, frame_.left, frame_.top);
      if (scrolls)
        where.right = std::min<LONG>(where.right, bar.left - 2);
      SetWindowPos(rows_[static_cast<std::size_t>(index)][at], nullptr, where.left, where.top,
                   where.right - where.left, where.bottom - where.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
  }
  const SCROLLINFO info{sizeof(SCROLLINFO),
                        SIF_ALL | SIF_DISABLENOSCROLL,
                        0,
                        count - 1,
                        static_cast<UINT>(places_),
                        first_,
                        0};
  SetScrollInfo(scrollBar_, SB_CTL, &info, TRUE);
  ShowWindow(scrollBar_, scrolls ? SW_SHOW : SW_HIDE);
}

void SeveralUnitsWindow::scroll(WPARAM request) {
  switch (LOWORD(request)) {
    case SB_LINEUP:
      scrollTo(first_ - 1);
      break;
    case SB_LINEDOWN:
      scrollTo(first_ + 1);
      break;
    case SB_PAGEUP:
      scrollTo(first_ - places_);
      break;
    case SB_PAGEDOWN:
      scrollTo(first_ + places_);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      scrollTo(HIWORD(request));
      break;
    default:
      break;
  }
}

// Reads row `index` from the model and shows it; a row that changes its mark is drawn again.
void SeveralUnitsWindow::showRow(std::size_t index) {
  const UnitRow row = model_.row(index);
  const RowControls& controls = rows_[index];
  for (std::size_t at = 0; at < controls.size(); ++at) {
    const HWND control = controls[at];
    switch (kUnitRowLayout.controls[at].id) {
      case kIdRowTick:
        setText(control, row.name);
        SendMessageA(control, BM_SETCHECK, row.ticked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case kIdRowDescription:
        setText(control, row.description);
        break;
      case kIdRowProgress:
        SendMessageA(control, PBM_SETRANGE32, 0, row.progressRange);
        SendMessageA(control, PBM_SETPOS, static_cast<WPARAM>(row.progressPosition), 0);
        break;
      case kIdRowStatus:
        setText(control, row.status);
        break;
      case kIdRowOutcome:
        setText(control, oneLine(row.outcome));
        break;
      default:
        break;
    }
  }
  if (marked_[index] != marked(row)) {
    marked_[index] = marked(row);
    for (const HWND control : controls)
      InvalidateRect(control, nullptr, TRUE);
  }
}

void SeveralUnitsWindow::showAll() {
  for (std::size_t index = 0; index < rows_.size(); ++index)
    showRow(index);
}

// Takes the files and choices from the main dialog.
void SeveralUnitsWindow::start(boot::Operation operation) {
  if (model_.running())
    return;
  if (operation == boot::Operation::Restore) {
    startRestore();
    return;
  }
  if (const std::optional<boot::OperationFiles> files = host_.filesFor(operation))
    runWith(operation, *files);
}

// Each unit gets its own newest kept copy; the question names them, No its default, as the
// restore erases every unit.
void SeveralUnitsWindow::startRestore() {
  const SeveralUnits::RestoreCheck check = model_.restoreCheck();
  if (!check.ready) {
    showInformation(window_, check.text);
    return;
  }
  if (askYesNo(window_, check.text, true))
    runWith(boot::Operation::Restore, host_.filesFor(boot::Operation::Restore).value());
}

// A run refused before any port opens (no tick, a refused image) says why in a box: no unit
// has started that the box could hold up.
void SeveralUnitsWindow::runWith(boot::Operation operation, const boot::OperationFiles& files) {
  if (const std::optional<std::string> refusal =
          model_.start(operation, files, host_.runChoices())) {
    showWarning(window_, *refusal);
    return;
  }
  SetDlgItemTextA(window_, IDC_SUMMARY, "");
  setRunning(true);
  showAll();
}

// Every row as the run left it, the summary, and the list read again.
void SeveralUnitsWindow::runEnded() {
  showAll();
  SetDlgItemTextA(window_, IDC_SUMMARY, model_.summary().c_str());
  setRunning(false);
  readPorts();
}

// During a run only Cancel takes input; the keyboard goes to it, and back to Update after.
void SeveralUnitsWindow::setRunning(bool running) {
  const HWND focus = GetDlgItem(window_, running ? IDCANCEL : IDOK);
  if (running)
    SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
  for (const int id : kRunButtons)
    EnableWindow(GetDlgItem(window_, id), running ? FALSE : TRUE);
  for (const RowControls& row : rows_)
    EnableWindow(row[0], running ? FALSE : TRUE);
  if (!running)
    SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
}

// No as the default answer, so that Enter never stops the units by accident.
void SeveralUnitsWindow::cancel() {
  if (!model_.running()) {
    KillTimer(window_, kPortTimer);
    EndDialog(window_, IDCANCEL);
    return;
  }
  if (askYesNo(window_, kStopQuestion, true))
    model_.stop();
}

INT_PTR SeveralUnitsWindow::colour(HDC context, HWND control) {
  const int id = GetDlgCtrlID(control);
  const int row = std::max(rowOf(id, kIdRowStatus), rowOf(id, kIdRowOutcome));
  if (row < 0 || !marked_[static_cast<std::size_t>(row)])
    return FALSE;  // drawn as the dialog draws its texts
  SetTextColor(context, kFailedColour);
  SetBkColor(context, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

int SeveralUnitsWindow::rowOf(int id, int control) const {
  const int offset = id - control;
  if (offset < 0 || offset % kUnitRowIdStep != 0 ||
      offset / kUnitRowIdStep >= static_cast<int>(rows_.size()))
    return -1;
  return offset / kUnitRowIdStep;
}

}  // namespace

void runSeveralUnitsWindow(HINSTANCE instance, HWND owner, const DialogSettings& settings,
                           const SeveralUnitsHost& host) {
  SeveralUnitsWindow window(settings, host);
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SEVERAL_UNITS_DIALOG), owner,
                  OwnedDialogProc<SeveralUnitsWindow>, reinterpret_cast<LPARAM>(&window));
}

}  // namespace quillmar::ui
