// planprobe: checks a schedule file for the unit and simulates the unit's clock over it; with
// --lsp it serves schedules to an editor instead.
#include <iostream>
#include <string>
#include <string_view>

#include "platform/binary_streams.h"
#include "platform/console_text.h"
#include "platform/console_window.h"
#include "platform/key_wait.h"
#include "platform/local_time.h"
#include "server/language_server.h"
#include "server/run_settings.h"
#include "session/session.h"

namespace {

constexpr std::string_view kServerOption = "--lsp";

// The language server over standard input and output, its span from the other arguments.
int serveEditor(int argc, char* argv[]) {
  using namespace quillmar::planprobe;
  std::string words;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] != kServerOption) {
      words += std::string(argv[i]) + " ";
    }
  }
  RunSettings defaults = SettingsFrom(quillmar::platform::localTime(std::time(nullptr)));
  if (std::optional<std::string> reason = ApplyOptionWords(words, defaults)) {
    std::cerr << "planprobe --lsp: " << *reason << "\n";
    return 1;
  }
  // Frames count bytes: a line end must not be translated on the way.
  quillmar::platform::useBinaryStandardStreams();
  return RunLanguageServer(std::cin, std::cout, std::cerr, defaults);
}

}  // namespace

int main(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == kServerOption) {
      return serveEditor(argc, argv);
    }
  }
  const quillmar::platform::ConsoleText console;
  // A run that waited for a key of its own has let its user read the window already.
  bool waited = false;
  const auto waitForKey = [&waited] {
    quillmar::platform::waitForKeyPress();
    waited = true;
  };
  const int status = quillmar::planprobe::RunSession(argc, argv, std::cout, waitForKey, &std::cerr);
  if (!waited) {
    quillmar::platform::holdOwnConsoleWindow();
  }
  return status;
}
