// SeveralUnitsWindow: the native "Several units" window, opened over the main dialog by its
// "Several units..." button. It shows the shared model (ui/common/several_units.h) one row per
// port, the rows made at run time from the shared row template: a tick box with the port's name,
// its description, a progress bar, the status and the outcome, failed rows in red. Its buttons
// run one operation on every ticked port at once; the files and choices come from the main
// dialog. The units report from their own threads: the window is posted the row's index and
// reads that row from the model on its own thread, so it never waits on a unit. The ports are
// read again when the system says devices came or went, and every few seconds while no run is
// under way. Cancel closes the window when no run is under way, and asks before stopping one.
// Restore programs each ticked unit with its own newest kept copy, once the user has said yes.
// With more ports than the frame holds, a scroll bar in the frame moves the rows.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>
#include <optional>

#include "boot/file_choice.h"
#include "boot/updater_presenter.h"
#include "ui/common/dialog_choices.h"
#include "ui/common/several_units.h"

namespace quillmar::ui {

// What the window asks of the main dialog when a run starts.
struct SeveralUnitsHost {
  // The files `operation` works on, as the main dialog's file rows give them; empty when the
  // user cancelled a question about them.
  std::function<std::optional<boot::OperationFiles>(boot::Operation operation)> filesFor;
  // Fast transfers and the kept copy as the main dialog's check boxes say.
  std::function<RunChoices()> runChoices;
};

// Runs the window modally over `owner` until it is closed with no run under way.
void runSeveralUnitsWindow(HINSTANCE instance, HWND owner, const DialogSettings& settings,
                           const SeveralUnitsHost& host);

}  // namespace quillmar::ui
