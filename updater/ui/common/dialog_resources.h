// The dialog templates of QUILLmar_Update: every control of the five dialogs with its id, kind,
// text and place in dialog units, listed in tab order, and the row the "Several units" window
// repeats once per port at run time. Plain data, free of the window system;
// the Qt dialog turns a table into widgets (ui/qt/dialog_template.cpp), and the Windows dialog's
// resource script, which repeats them, is held to them by a test (dialog_layouts_test.cpp).
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace quillmar::ui {

// What a template row becomes on screen.
enum class ControlKind {
  DefaultButton,  // push button pressed by Enter
  Button,         // push button
  GroupBox,       // titled frame drawn behind the controls it surrounds
  Label,          // left-aligned static text
  ProgressBar,    // bordered progress bar, range 0..100, position 0
  RadioButton,    // automatic radio button; consecutive ones form one exclusive group
  Icon,           // the application icon
  ComboBox,       // drop-down list to choose from, not to type in
  CheckBox,       // automatic check box
};

// One control: its id (-1 for controls nobody addresses), kind, text and rectangle. A label
// with a mnemonic ("&Port:") gives it to the control after it.
struct ControlRow {
  int id;
  ControlKind kind;
  const char* text;
  int x, y, w, h;
};

// One dialog: caption, client size in dialog units and its controls in tab order.
struct DialogLayout {
  const char* caption;
  int w, h;
  std::span<const ControlRow> controls;
};

// Control ids the program addresses.
enum ControlId : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdProgress = 1000,
  kIdCom1 = 1001,
  kIdCom2 = 1002,
  kIdHelpText = 1003,
  kIdStatus = 1004,
  kIdRead = 1005,
  kIdVersion = 1006,
  kIdAboutVersion = 1007,
  kIdTimeLine = 1008,
  kIdPortList = 1009,
  kIdFastTransfers = 1010,
  kIdPortLabel = 1011,
  kIdKeepCopy = 1012,
  kIdRestore = 1013,
  kIdSeveralUnits = 1014,
  kIdImageName = 1020,
  kIdChooseImage = 1021,
  kIdReadbackName = 1022,
  kIdChooseReadback = 1023,
  kIdCopyList = 1030,
  // The "Several units" window: the frame its rows fill and the line that ends a run.
  kIdUnitRows = 1040,
  kIdSummary = 1041,
  // A row's controls; row r's take these plus r * kUnitRowIdStep (unitRowControlId).
  kIdRowTick = 2000,  // the tick box, which shows the port's short name
  kIdRowDescription = 2001,
  kIdRowProgress = 2002,
  kIdRowStatus = 2003,
  kIdRowOutcome = 2004,
  kIdHelp = 57670,
};

inline constexpr int kUnitRowIdStep = 8;

// The id of the control `id` (kIdRowTick ...) in row `row` of the "Several units" window.
constexpr int unitRowControlId(int id, std::size_t row) {
  return id + static_cast<int>(row) * kUnitRowIdStep;
}

// Texts shared by the dialogs and their tests.
inline constexpr const char* kProgramName = "QUILLmar_Update";
inline constexpr const char* kAboutMenuText = "&About QUILLmar_Update...";
inline constexpr const char* kStartStatus = "Connect Serial Cable and Click Update";
// The tools' version, which --version prints.
extern const char kProgramVersion[];
// The about box's line with that version, under the dialog's own "Version 1.1" line.
extern const char kAboutVersionLine[];

extern const DialogLayout kUpdaterDialogLayout;
extern const DialogLayout kHelpDialogLayout;
extern const DialogLayout kAboutDialogLayout;
// Restore: the kept copies in a list, Restore (the default) and Cancel.
extern const DialogLayout kRestoreDialogLayout;
// Several units: column headings over the frame of the rows, the operations' buttons, the
// summary and Cancel.
extern const DialogLayout kSeveralUnitsDialogLayout;

// One row of the "Several units" window: its height and its controls, placed from the top left
// of the rows' frame (kIdUnitRows), row r lying r * h lower; a frame with more rows than it
// holds scrolls.
struct RowLayout {
  int h;
  std::span<const ControlRow> controls;
};
extern const RowLayout kUnitRowLayout;

// The instructions shown in the help dialog, ending with the support line.
std::string helpText();

}  // namespace quillmar::ui
