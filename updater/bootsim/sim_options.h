// The simulator program's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bootsim/boot_loader.h"
#include "bootsim/line_model.h"
#include "bootsim/sim_server.h"

namespace quillmar::bootsim {

struct SimOptions {
  Faults faults;
  ServeLimits limits;
  LineTiming line;
  std::string loadPath;   // flash image to start from; empty: erased flash
  std::string dumpPath;   // where the flash goes at exit; empty: nowhere
  std::string tallyPath;  // where the count of each command goes at exit; empty: nowhere
  bool avr = false;       // the project's boot loader on the emulated chip, not the model
  std::optional<uint64_t> cutDelayUs;  // chip time from the last byte to the power cut
  bool help = false;
  bool version = false;
};

// The usage text printed by --help and after a bad option.
extern const char* const kSimUsage;

// Reads the arguments (without the program name) into `options`. "" on success, else a
// one-line description of the first bad argument.
std::string parseSimOptions(const std::vector<std::string>& args, SimOptions& options);

}  // namespace quillmar::bootsim
