// Terminals show the programs' bytes as they are: nothing to change.
#include "console_text.h"

namespace quillmar::platform {

struct ConsoleText::Streams {};

ConsoleText::ConsoleText() = default;

ConsoleText::~ConsoleText() = default;

}  // namespace quillmar::platform
