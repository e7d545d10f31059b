// tildeconv: prepares an HTML page for the unit's web server.
#include <iostream>

#include "run.h"

int main(int argc, char* argv[]) {
  return quillmar::tildeconv::runTildeconv(argc, argv, std::cout);
}
