// The emulated unit behind quillmar-bootsim --avr: the project's boot loader, as machine code,
// on an emulated ATmega1284P whose UART is bridged to a new pseudo-terminal. Builds without the
// emulator or the AVR toolchain get a stand-in that says the mode is missing.
#pragma once

#include "bootsim/sim_options.h"

namespace quillmar::bootsim {

// Runs the emulated unit with `options` (load, dump, sessions, silent-after, cut-delay) until
// a stop signal arrives on `stopFd` or the session limit is reached; prints the device's path
// first. The program's exit status: 0, or 1 after a message on standard error.
int runAvrUnit(const SimOptions& options, int stopFd);

}  // namespace quillmar::bootsim
