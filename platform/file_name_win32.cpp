// Windows paths are UTF-16; narrow names convert through the ANSI code page, as the system's
// own narrow file calls do, so both always agree on what a name means.
#include "file_name.h"
#include "wide_text_win32.h"

namespace quillmar::platform {

std::filesystem::path pathFromName(const std::string& name) {
  return wideFromNarrow(name);
}

std::string nameFromPath(const std::filesystem::path& path) {
  return narrowFromWide(path.native());
}

}  // namespace quillmar::platform
