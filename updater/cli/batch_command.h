// Several units at once from the command line: the ports (given, or --port all: every listed
// port whose boot loader answers), each unit's own kept copy for a restore, the batch run with
// its console, and the table and summary that end it.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "boot/image_files.h"
#include "boot/update_safety.h"
#include "boot/updater_presenter.h"
#include "cli/command_line.h"

namespace quillmar::cli {

// What the command line asks of several units.
struct BatchRequest {
  boot::Operation operation = boot::Operation::Update;
  std::vector<std::string> ports;  // the --port values; "all" alone: every answering port
  boot::ImageFile image{"", 0};    // update, verify, and restore given a file
  bool ownCopies = false;          // restore without a file: each unit its newest kept copy
  std::string output;              // read: the --output value
  std::string folder;              // the program folder, or --folder
  boot::UpdateSafety safety;
  bool block = false;
  bool json = false;
};

// Runs `request` on its units at once, writing as runCommandLine says; the exit status: 0 when
// every unit succeeded, else 1.
int runBatch(const BatchRequest& request, std::ostream& out, std::ostream& err, bool errIsTerminal,
             const PortLister& ports, uint16_t probeTimeoutMs, uint16_t replyTimeoutMs);

}  // namespace quillmar::cli
