// The Qt dialog program's command line: the program's own options (dialog_options.h), with the
// toolkit's own options, such as "-platform NAME" or "-style NAME", let through for the
// application object to take. It is read before the application object exists.
#pragma once

#include <QStringList>

#include "ui/common/dialog_options.h"

namespace quillmar::ui {

// Reads `arguments` (the program's name first).
ProgramStart readCommandLine(const QStringList& arguments);

}  // namespace quillmar::ui
