// PtyPort: creating the pseudo-terminal and making both of its sides raw.
#include "bootsim/pty_port.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace quillmar::bootsim {
namespace {

// No translation, echo or flow control on this side of the pair.
bool makeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) {
    return false;
  }
  cfmakeraw(&settings);
  cfsetispeed(&settings, B38400);
  cfsetospeed(&settings, B38400);
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

// Sets the slave raw once; the settings stay with the pair while the master is open. The
// slave is closed again, so the master reports a hang-up until a client opens it.
bool prepareSlave(const std::string& path) {
  int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0) {
    return false;
  }
  bool raw = makeRaw(slave);
  ::close(slave);
  return raw;
}

}  // namespace

PtyPort::PtyPort(int master, std::string devicePath)
    : master_(master), devicePath_(std::move(devicePath)) {}

PtyPort::~PtyPort() {
  if (events_ >= 0) {
    ::close(events_);
  }
  ::close(master_);
}

std::unique_ptr<PtyPort> PtyPort::create(std::string& error) {
  int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) {
    error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    return nullptr;
  }
  std::unique_ptr<PtyPort> port;
  char name[128];
  if (grantpt(master) == 0 && unlockpt(master) == 0 && ptsname_r(master, name, sizeof name) == 0) {
    port.reset(new PtyPort(master, name));
  } else {
    error = std::string("cannot unlock the pseudo-terminal: ") + std::strerror(errno);
    ::close(master);
    return nullptr;
  }
  int flags = fcntl(master, F_GETFL);
  if (!makeRaw(master) || !prepareSlave(port->devicePath_) || flags < 0 ||
      fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) {
    error = "cannot set the pseudo-terminal " + port->devicePath_ + " to raw mode";
    return nullptr;
  }
  port->events_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (port->events_ < 0 ||
      inotify_add_watch(port->events_, port->devicePath_.c_str(), IN_OPEN | IN_CLOSE) < 0) {
    error = "cannot watch " + port->devicePath_ + ": " + std::strerror(errno);
    return nullptr;
  }
  return port;
}

}  // namespace quillmar::bootsim
