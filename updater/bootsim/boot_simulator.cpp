// BootSimulator: the serve loop on its own thread, ended through a pipe.
#include "bootsim/boot_simulator.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace quillmar::bootsim {

BootSimulator::BootSimulator(Faults faults, ServeLimits limits, LineTiming line)
    : loader_(std::move(faults)), limits_(limits), line_(line) {}

BootSimulator::~BootSimulator() {
  stop();
  for (int fd : stopPipe_) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
}

std::string BootSimulator::start() {
  if (port_) {
    return "the simulator is already started";
  }
  std::string error;
  std::unique_ptr<PtyPort> port = PtyPort::create(error);
  if (!port) {
    return error;
  }
  if (pipe2(stopPipe_, O_CLOEXEC) != 0) {
    return std::string("cannot create the stop pipe: ") + std::strerror(errno);
  }
  port_ = std::move(port);
  thread_ = std::thread(
      [this] { end_ = serve(*port_, loader_, stopPipe_[0], limits_, &sessionsEnded_, line_); });
  return "";
}

void BootSimulator::stop() {
  if (thread_.joinable()) {
    char wake = 0;
    ssize_t ignored = ::write(stopPipe_[1], &wake, 1);
    (void)ignored;
    thread_.join();
  }
}

void BootSimulator::wait() {
  if (thread_.joinable()) {
    thread_.join();
  }
}

}  // namespace quillmar::bootsim
