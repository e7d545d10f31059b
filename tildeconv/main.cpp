// tildeconv: prepares an HTML page for the unit's web server.
#include <iostream>

#include "platform/console_text.h"
#include "platform/console_window.h"
#include "run.h"

int main(int argc, char* argv[]) {
  const quillmar::platform::ConsoleText console;
  const int status = quillmar::tildeconv::runTildeconv(argc, argv, std::cout);
  quillmar::platform::holdOwnConsoleWindow();
  return status;
}
