// The buttons of the main dialog that start an operation, shared by the Qt and the native
// Windows dialog so that both map the same controls to the same operations.
#pragma once

#include "boot/updater_presenter.h"
#include "ui/common/dialog_resources.h"

namespace quillmar::ui {

// One button: its control id and the operation it runs.
struct OperationButton {
  int id;
  boot::Operation operation;
};

inline constexpr OperationButton kOperationButtons[] = {
    {kIdOk, boot::Operation::Update},
    {kIdRead, boot::Operation::Read},
    {kIdVersion, boot::Operation::Version},
};

}  // namespace quillmar::ui
