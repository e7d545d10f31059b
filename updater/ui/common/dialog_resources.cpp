// The dialog templates and the help text.
#include "ui/common/dialog_resources.h"

namespace quillmar::ui {

const char kProgramVersion[] = QUILLMAR_VERSION;
const char kAboutVersionLine[] = "Firmware updater " QUILLMAR_VERSION;

namespace {

using enum ControlKind;

constexpr ControlRow kUpdaterControls[] = {
    {kIdOk, DefaultButton, "&Update", 87, 6, 50, 14},
    {kIdRead, Button, "&Read", 87, 22, 50, 14},
    {kIdCancel, Button, "Cancel", 87, 70, 50, 14},
    {kIdHelp, Button, "&Help", 87, 86, 50, 14},
    {-1, GroupBox, "Com Port", 12, 10, 46, 36},
    {kIdStatus, Label, kStartStatus, 15, 108, 124, 9},
    {kIdProgress, ProgressBar, "", 13, 119, 125, 14},
    {kIdCom1, RadioButton, "Com1", 19, 21, 34, 10},
    {kIdCom2, RadioButton, "Com2", 19, 31, 34, 10},
    {kIdVersion, Button, "&Version", 87, 38, 50, 14},
    // Beyond the original dialog: going back to a kept copy, several units at once, the time of
    // an operation, the port behind the checked Com button, fast transfers and the copy an
    // update keeps.
    {kIdRestore, Button, "Re&store...", 87, 54, 50, 14},
    {kIdSeveralUnits, Button, "S&everal units...", 12, 54, 62, 14},
    {kIdTimeLine, Label, "", 15, 136, 124, 9},
    {kIdPortLabel, Label, "&Port:", 13, 151, 22, 9},
    {kIdPortList, ComboBox, "", 37, 149, 101, 12},
    {kIdFastTransfers, CheckBox, "&Fast transfers", 13, 165, 125, 10},
    {kIdKeepCopy, CheckBox, "&Keep a copy before updating", 13, 177, 125, 10},
    // The files: the image Update programs and the file Read writes, each with its chooser.
    {-1, Label, "Image:", 13, 195, 36, 9},
    {kIdImageName, Label, "", 50, 195, 70, 9},
    {kIdChooseImage, Button, "...", 122, 192, 16, 14},
    {-1, Label, "Read into:", 13, 210, 36, 9},
    {kIdReadbackName, Label, "", 50, 210, 70, 9},
    {kIdChooseReadback, Button, "...", 122, 207, 16, 14},
};

constexpr ControlRow kHelpControls[] = {
    {kIdOk, DefaultButton, "Close Help", 204, 161, 50, 14},
    {kIdHelpText, Label, "QUILLmar software update instructions:", 7, 7, 247, 149},
};

constexpr ControlRow kAboutControls[] = {
    {-1, Icon, "", 4, 13, 20, 20},
    {-1, Label, "QUILLmar Update Version 1.1", 25, 10, 103, 8},
    {kIdAboutVersion, Label, kAboutVersionLine, 25, 21, 119, 8},
    {kIdOk, DefaultButton, "OK", 48, 40, 50, 14},
};

constexpr ControlRow kRestoreControls[] = {
    {-1, Label, "&Kept copy to program (newest first):", 7, 7, 236, 9},
    {kIdCopyList, ComboBox, "", 7, 18, 236, 12},
    {kIdOk, DefaultButton, "Re&store", 139, 38, 50, 14},
    {kIdCancel, Button, "Cancel", 193, 38, 50, 14},
};

// Each column's heading stands over its control in the rows: the frame's x plus the row's.
constexpr ControlRow kSeveralUnitsControls[] = {
    {-1, Label, "Port", 11, 7, 50, 9},
    {-1, Label, "Description", 67, 7, 90, 9},
    {-1, Label, "Progress", 165, 7, 60, 9},
    {-1, Label, "Status", 229, 7, 120, 9},
    {-1, Label, "Outcome", 357, 7, 140, 9},
    {kIdUnitRows, GroupBox, "", 7, 17, 498, 130},
    {kIdOk, DefaultButton, "&Update", 7, 153, 50, 14},
    {kIdRead, Button, "&Read", 61, 153, 50, 14},
    {kIdVersion, Button, "&Version", 115, 153, 50, 14},
    {kIdRestore, Button, "Re&store...", 169, 153, 50, 14},
    {kIdSummary, Label, "", 225, 156, 226, 9},
    {kIdCancel, Button, "Cancel", 455, 153, 50, 14},
};

constexpr ControlRow kUnitRowControls[] = {
    {kIdRowTick, CheckBox, "", 4, 2, 54, 10},          {kIdRowDescription, Label, "", 60, 3, 94, 9},
    {kIdRowProgress, ProgressBar, "", 158, 2, 60, 10}, {kIdRowStatus, Label, "", 222, 3, 124, 9},
    {kIdRowOutcome, Label, "", 350, 3, 140, 9},
};

// The help text in its pieces, joined in order when the dialog opens.
constexpr const char* kHelpPieces[] = {
    "QUILLmar software update instructions:\n\n",
    "1) Place the QUILLMAR.HEX file in the same folder as this program.\n",
    "2) Connect a null modem cable (not an Elvane Tavrow programming cable)\n",
    "      from either COM1 or COM2 of your PC to the QUILLmar's serial port.\n",
    "3) Turn on DIP switch #8.\n",
    "4) Make sure that DIP switch #1 (reset) is off.\n",
    "5) Apply power to QUILLmar.\n",
    "6) Select the appropriate Com port from the radio buttons in the dialog\n",
    "7) Click Update. The status bar should immediately begin to move.\n",
    "      The update process will take several minutes.\n",
    "8) When it is complete, switch off DIP switch #8.\n\n",
    "You may review these intructions at any time by pressing HELP.\n\n",
    "For support, contact the supplier of your QUILLmar unit.",
};

}  // namespace

const DialogLayout kUpdaterDialogLayout = {kProgramName, 151, 226, kUpdaterControls};
const DialogLayout kHelpDialogLayout = {"QUILLmar Update Help", 261, 186, kHelpControls};
const DialogLayout kAboutDialogLayout = {"About QUILLmar_Update", 145, 63, kAboutControls};
const DialogLayout kRestoreDialogLayout = {"Restore a Kept Copy", 250, 59, kRestoreControls};
const DialogLayout kSeveralUnitsDialogLayout = {"Several units", 512, 174, kSeveralUnitsControls};
const RowLayout kUnitRowLayout = {14, kUnitRowControls};

std::string helpText() {
  std::string text;
  for (const char* piece : kHelpPieces) {
    text += piece;
  }
  return text;
}

}  // namespace quillmar::ui
