// quillmar-bootsim: the simulated unit as a program, so the updater can be run without one.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bootsim/avr_unit.h"
#include "bootsim/boot_loader.h"
#include "bootsim/flash_file.h"
#include "bootsim/pty_port.h"
#include "bootsim/sim_options.h"
#include "bootsim/sim_server.h"

using namespace quillmar::bootsim;

namespace {

// Turns the signals that end the program into a descriptor the serve loop watches, so it can
// finish its work (and the program its clean-up) instead of dying in the middle.
int stopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    sigaddset(&signals, signal);
  }
  if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) {
    return -1;
  }
  return signalfd(-1, &signals, SFD_CLOEXEC);
}

}  // namespace

// Writes how often each command came to `path`: one line per command received, its character
// (or 0xNN) and the count, in byte order. False, with a message, when the file can't be written.
bool writeTally(const BootLoader& loader, const std::string& path) {
  std::ofstream out(path);
  for (int command = 0; command < 256; ++command) {
    if (loader.uses(static_cast<uint8_t>(command)) == 0)
      continue;
    char name[8];
    std::snprintf(name, sizeof name, command > ' ' && command < 0x7F ? "%c" : "0x%02x", command);
    out << name << ' ' << loader.uses(static_cast<uint8_t>(command)) << '\n';
  }
  if (!out.flush())
    std::cerr << "quillmar-bootsim: cannot write " << path << "\n";
  return static_cast<bool>(out);
}

int main(int argc, char** argv) {
  SimOptions options;
  std::string error = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  if (!error.empty()) {
    std::cerr << "quillmar-bootsim: " << error << "\n" << kSimUsage;
    return 2;
  }
  if (options.help) {
    std::cout << kSimUsage;
    return 0;
  }
  if (options.version) {
    std::cout << "quillmar-bootsim " << QUILLMAR_VERSION << "\n";
    return 0;
  }
  if (options.avr) {
    int stopFd = stopSignals();
    if (stopFd < 0) {
      std::cerr << "quillmar-bootsim: cannot watch for signals\n";
      return 1;
    }
    return runAvrUnit(options, stopFd);
  }
  BootLoader loader(options.faults);
  if (!options.loadPath.empty() && !loadFlash(loader.flash(), options.loadPath, std::cerr)) {
    return 1;
  }
  int stopFd = stopSignals();
  std::unique_ptr<PtyPort> port = stopFd < 0 ? nullptr : PtyPort::create(error);
  if (!port) {
    std::cerr << "quillmar-bootsim: " << (stopFd < 0 ? "cannot watch for signals" : error) << "\n";
    return 1;
  }
  std::cout << port->devicePath() << std::endl;
  ServeEnd end = serve(*port, loader, stopFd, options.limits, nullptr, options.line);
  ::close(stopFd);
  bool dumped = options.dumpPath.empty() || dumpFlash(loader.flash(), options.dumpPath, std::cerr);
  dumped = (options.tallyPath.empty() || writeTally(loader, options.tallyPath)) && dumped;
  if (end == ServeEnd::Failed) {
    std::cerr << "quillmar-bootsim: lost the pseudo-terminal\n";
  }
  return end == ServeEnd::Failed || !dumped ? 1 : 0;
}
