// tildeconv: prepares an HTML page for the unit's web server.
#include <iostream>

#include "platform/console_text.h"
#include "run.h"

int main(int argc, char* argv[]) {
  const quillmar::platform::ConsoleText console;
  return quillmar::tildeconv::runTildeconv(argc, argv, std::cout);
}
