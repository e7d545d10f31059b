// The stand-in for builds without the emulator or the AVR toolchain.
#include <iostream>

#include "bootsim/avr_unit.h"

namespace quillmar::bootsim {

int runAvrUnit(const SimOptions&, int) {
  std::cerr << "quillmar-bootsim: --avr is not in this build (it needs avr-gcc, avr-libc and "
               "simavr when the tools are built)\n";
  return 1;
}

}  // namespace quillmar::bootsim
