// BootSimulator: a simulated unit on a pseudo-terminal, served on a background thread, so a
// test (or any program) can run a real serial client against it in the same process.
//
//   BootSimulator sim;                      // or BootSimulator sim(faults, limits);
//   sim.loader().flash().bytes()[0] = 0x12;  // prepare the flash before start()
//   std::string error = sim.start();         // "" on success
//   ... open sim.devicePath() as the serial port ...
//   sim.stop();                              // or sim.wait() when a limit ends the serving
//   inspect sim.loader().flash()
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "bootsim/boot_loader.h"
#include "bootsim/pty_port.h"
#include "bootsim/sim_server.h"

namespace quillmar::bootsim {

class BootSimulator {
 public:
  explicit BootSimulator(Faults faults = {}, ServeLimits limits = {}, LineTiming line = {});
  ~BootSimulator();
  BootSimulator(const BootSimulator&) = delete;
  BootSimulator& operator=(const BootSimulator&) = delete;

  // Creates the pseudo-terminal and starts serving it. "" on success, else what failed.
  std::string start();
  // Ends the serving (if still running) and waits for the thread. Safe to call twice.
  void stop();
  // Waits until the serving ends by itself (a session or command limit).
  void wait();

  // The device a client opens; empty before start().
  std::string devicePath() const { return port_ ? port_->devicePath() : std::string(); }
  // The unit. Touch it only while not serving: before start() or after stop()/wait().
  BootLoader& loader() { return loader_; }
  // Sessions ended so far (a client opened and closed the device); safe to read any time.
  uint64_t sessionsEnded() const { return sessionsEnded_.load(); }
  // How the serving ended; read it only after stop() or wait().
  std::optional<ServeEnd> end() const { return end_; }

 private:
  BootLoader loader_;
  ServeLimits limits_;
  LineTiming line_;
  std::unique_ptr<PtyPort> port_;
  int stopPipe_[2] = {-1, -1};
  std::thread thread_;
  std::optional<ServeEnd> end_;
  std::atomic<uint64_t> sessionsEnded_{0};
};

}  // namespace quillmar::bootsim
