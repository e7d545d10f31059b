// runAvrUnit on simavr: the bridge between the pseudo-terminal and the emulated chip's UART,
// with the session limit, the power cut and the flash files around it.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <iostream>
#include <limits>
#include <memory>

#include "bootsim/avr_chip.h"
#include "bootsim/avr_unit.h"
#include "bootsim/device_holders.h"
#include "bootsim/flash_file.h"
#include "bootsim/pty_port.h"

namespace quillmar::bootsim {

namespace {

// Instructions run between two looks at the pseudo-terminal.
constexpr int kSlice = 20'000;
// While no client holds the device, the master reports a hang-up at once on every poll, so
// the loop then looks again after this pause instead of spinning.
constexpr int kIdlePollMs = 5;
constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();

class Bridge {
 public:
  Bridge(AvrChip& chip, const PtyPort& port, int stopFd, const SimOptions& options)
      : chip_(chip),
        master_(port.masterFd()),
        stopFd_(stopFd),
        holders_(port.deviceEventsFd()),
        sessionLimit_(options.limits.sessions),
        byteLimit_(options.faults.silentAfter.value_or(kNever)),
        cutDelayCycles_(options.cutDelayUs ? *options.cutDelayUs * (AvrChip::kClockHz / 1'000'000)
                                           : kNever) {}

  // Serves until a stop signal or the session limit; false when the pseudo-terminal failed.
  bool run() {
    for (;;) {
      cutPowerWhenDue();
      const bool running = powered_ && !(chip_.waiting() && input_.empty());
      const bool hungUp = !holders_.held();
      pollfd fds[3] = {{stopFd_, POLLIN, 0},
                       {holders_.eventsFd(), POLLIN, 0},
                       {hungUp && !running ? -1 : master_, POLLIN, 0}};
      const int timeout = running ? 0 : hungUp ? kIdlePollMs : -1;
      if (::poll(fds, 3, timeout) < 0 && errno != EINTR) {
        return false;
      }
      if (fds[0].revents != 0) {
        return true;
      }
      if ((fds[1].revents & POLLIN) != 0 && holders_.readEvents()) {
        input_.clear();  // what a client that has gone sent
        if (sessionLimit_ != 0 && holders_.sessionsEnded() >= sessionLimit_) {
          return true;
        }
      }
      if ((fds[2].revents & POLLIN) != 0) {
        readInput();
      }
      if (powered_) {
        feed();
        // Stops at the byte the power cut counts to, so that its delay starts there.
        const uint64_t takeLimit = chip_.bytesTaken() < byteLimit_ ? byteLimit_ : kNever;
        chip_.run(kSlice, cutCycle(), takeLimit);
        sendOutput();
      }
    }
  }

 private:
  // Takes what the client sent; after a power cut it goes nowhere.
  void readInput() {
    uint8_t bytes[4096];
    const ssize_t got = ::read(master_, bytes, sizeof bytes);
    if (powered_ && got > 0) {
      input_.insert(input_.end(), bytes, bytes + got);
    }
  }

  // Hands the chip's receiver what it has room for, up to the power cut's byte count.
  void feed() {
    while (!input_.empty() && fed_ < byteLimit_ && chip_.offer(input_.front())) {
      input_.pop_front();
      ++fed_;
    }
    if (fed_ >= byteLimit_) {
      input_.clear();
    }
  }

  // The cycle at which the power fails: the cut delay after the chip took the last byte it
  // gets; never before that byte is taken.
  uint64_t cutCycle() const {
    if (fed_ < byteLimit_ || chip_.bytesTaken() < byteLimit_ || cutDelayCycles_ == kNever) {
      return kNever;
    }
    return chip_.lastTakenCycle() + cutDelayCycles_;
  }

  // The power fails once the chip has taken its last byte and either waits for the next one
  // or has run the cut delay; its flash stays as it is.
  void cutPowerWhenDue() {
    if (powered_ && chip_.bytesTaken() >= byteLimit_ &&
        (chip_.waiting() || chip_.cycle() >= cutCycle())) {
      powered_ = false;
    }
    if (!chip_.alive()) {
      powered_ = false;
    }
  }

  // Passes on what the chip sent, while a client holds the device; a reply nobody waits for
  // is lost, as on a line without a listener.
  void sendOutput() {
    const std::vector<uint8_t> bytes = chip_.takeOutput();
    size_t sent = 0;
    while (holders_.held() && sent < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
      if (n > 0) {
        sent += static_cast<size_t>(n);
      } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
        return;
      } else {
        pollfd out{master_, POLLOUT, 0};
        ::poll(&out, 1, kIdlePollMs);
      }
    }
  }

  AvrChip& chip_;
  int master_;
  int stopFd_;
  DeviceHolders holders_;
  uint64_t sessionLimit_;
  uint64_t byteLimit_;
  uint64_t cutDelayCycles_;
  std::deque<uint8_t> input_;
  uint64_t fed_ = 0;
  bool powered_ = true;
};

}  // namespace

int runAvrUnit(const SimOptions& options, int stopFd) {
  FlashMemory flash;
  if (!options.loadPath.empty() && !loadFlash(flash, options.loadPath, std::cerr)) {
    return 1;
  }
  std::string error;
  std::unique_ptr<AvrChip> chip = AvrChip::create(flash.bytes(), unit::kBootLoaderImage, error);
  std::unique_ptr<PtyPort> port = chip ? PtyPort::create(error) : nullptr;
  if (!port) {
    std::cerr << "quillmar-bootsim: " << error << "\n";
    return 1;
  }
  std::cout << port->devicePath() << std::endl;
  const bool served = Bridge(*chip, *port, stopFd, options).run();
  std::copy(chip->flash().begin(), chip->flash().end(), flash.bytes().begin());
  const bool dumped = options.dumpPath.empty() || dumpFlash(flash, options.dumpPath, std::cerr);
  if (!served) {
    std::cerr << "quillmar-bootsim: lost the pseudo-terminal\n";
  }
  return served && dumped ? 0 : 1;
}

}  // namespace quillmar::bootsim
