// The console programs' standard output and error as the user reads them. Their texts are in
// the system's narrow encoding (file_name.h), which a terminal shows as it is; a Windows
// console instead reads bytes in its own code page, which a name outside ASCII would not
// survive, so there the texts are written to it as UTF-16.
#pragma once

#include <memory>

namespace quillmar::platform {

// Sends std::cout and std::cerr, where they reach a Windows console, to it as UTF-16 for as
// long as it lives, each insertion as soon as it is complete. Redirected streams, and all
// streams on POSIX, keep their bytes unchanged. One per program run, made first in main().
class ConsoleText {
 public:
  ConsoleText();
  ~ConsoleText();
  ConsoleText(const ConsoleText&) = delete;
  ConsoleText& operator=(const ConsoleText&) = delete;

 private:
  struct Streams;  // what the platform changed, to put back
  std::unique_ptr<Streams> streams_;
};

}  // namespace quillmar::platform
