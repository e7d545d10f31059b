// POSIX port backend: a terminal device in raw 8N1, held exclusively, read with poll().
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#if defined(__linux__)
#include <linux/serial.h>
#endif

#include <cerrno>
#include <chrono>

#include "link/open_failure_posix.h"
#include "link/serial_link.h"

namespace quillmar::link {
namespace {

constexpr const char* kCannotGetStatus = "Opening serial port:  Could not get comm status";
constexpr const char* kCannotSetStatus = "Opening serial port:  Could not set comm status";

struct BaudEntry {
  uint16_t rate;
  speed_t speed;
};

// Every standard rate that fits the link's 16-bit bit rate.
constexpr BaudEntry kBaudTable[] = {
    {50, B50},     {75, B75},       {110, B110},     {134, B134},     {150, B150},   {200, B200},
    {300, B300},   {600, B600},     {1200, B1200},   {1800, B1800},   {2400, B2400}, {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600},
};

// The termios speed for `rate`, or B0 when the rate is not a standard one.
speed_t speedFor(uint16_t rate) {
  for (const BaudEntry& entry : kBaudTable) {
    if (entry.rate == rate) {
      return entry.speed;
    }
  }
  return B0;
}

// Raw 8N1 at `rate`: no character translation, echo, signals or software flow control, so
// every byte (0x11 and 0x13 included) passes unaltered. Hardware flow control and the modem
// control flags stay as the port has them. False when the port refuses the settings.
bool applyLineSettings(int fd, termios settings, uint16_t rate) {
  speed_t speed = speedFor(rate);
  if (speed == B0) {
    return false;
  }
  settings.c_iflag &=
      ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
  settings.c_oflag &= ~OPOST;
  settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB);
  settings.c_cflag |= CS8 | CREAD;
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0) {
    return false;
  }
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

// Asks the driver to pass each received byte on at once instead of collecting a few first:
// the dialogue waits for every reply. A driver that does not offer it (a pseudo-terminal, a
// USB adapter, a user without the right) is left as it is.
void requestLowLatency(int fd) {
#if defined(__linux__)
  serial_struct serial{};
  if (ioctl(fd, TIOCGSERIAL, &serial) == 0 && (serial.flags & ASYNC_LOW_LATENCY) == 0) {
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
  }
#else
  (void)fd;
#endif
}

class PosixPort final : public PortBackend {
 public:
  explicit PosixPort(int fd) : fd_(fd) {}
  ~PosixPort() override {
    // The exclusive flag outlives the descriptor on a pseudo-terminal, so drop it first.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
  }
  PosixPort(const PosixPort&) = delete;
  PosixPort& operator=(const PosixPort&) = delete;

  int readByte(uint16_t timeoutMs) override {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      pollfd wanted{fd_, POLLIN, 0};
      int ready = poll(&wanted, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
      if (ready < 0) {
        if (errno == EINTR) {
          continue;
        }
        return -1;
      }
      if (ready == 0) {
        return -2;
      }
      uint8_t value = 0;
      ssize_t got = ::read(fd_, &value, 1);
      if (got == 1) {
        return value;
      }
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
        continue;
      }
      return -1;  // An error, or nothing read after a wake-up: the line hung up.
    }
  }

  void writeByte(uint8_t value) override {
    for (;;) {
      ssize_t sent = ::write(fd_, &value, 1);
      if (sent == 1) {
        break;
      }
      if (sent < 0 && errno == EINTR) {
        continue;
      }
      return;  // Not reported: the missing reply shows it one level up.
    }
    tcdrain(fd_);
  }

 private:
  int fd_;
};

}  // namespace

PortDevices defaultPortDevices() {
  return {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
}

std::string comPortBeyondTable(int) {
  return "";
}

std::array<std::string, 2> comButtonPorts() {
  return {"", ""};
}

// O_NONBLOCK keeps the open from waiting for a carrier; O_NOCTTY keeps the port from becoming
// our controlling terminal. The advisory lock (and TIOCEXCL for other openers) makes the hold
// exclusive; only a held port has its buffers discarded.
std::unique_ptr<PortBackend> openPort(const std::string& device, uint16_t baudRate,
                                      std::string& error) {
  int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = invalidHandleMessage(device, openFailureOfErrno(errno, device));
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int lockError = errno;
    ::close(fd);
    error = invalidHandleMessage(device, openFailureOfErrno(lockError, device));
    return nullptr;
  }
  auto port = std::make_unique<PosixPort>(fd);
  // Start empty both ways, as a freshly opened port does: a pseudo-terminal would otherwise
  // hand us bytes that were meant for its previous holder.
  tcflush(fd, TCIOFLUSH);
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) {
    error = kCannotGetStatus;
    return nullptr;
  }
  if (!applyLineSettings(fd, settings, baudRate)) {
    error = kCannotSetStatus;
    return nullptr;
  }
  ioctl(fd, TIOCEXCL);
  requestLowLatency(fd);
  int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    error = kCannotSetStatus;
    return nullptr;
  }
  return port;
}

}  // namespace quillmar::link
