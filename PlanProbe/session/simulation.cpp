#include "session.h"

namespace quillmar::planprobe {

// The minute loop is not part of this build yet: the run ends after the simulation header.
void Session::RunSimulation() {}

}  // namespace quillmar::planprobe
