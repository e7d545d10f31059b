// SerialLink over real pseudo-terminals: open failures, the closed state and time-outs. The
// exclusive hold and every byte value passing unaltered are pinned end to end by the transcript.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bootsim/pty_port.h"
#include "link/open_failure_posix.h"
#include "link/port_list.h"
#include "link/serial_link.h"

namespace {

using quillmar::bootsim::PtyPort;
using quillmar::link::OpenFailure;
using quillmar::link::PortDevices;
using quillmar::link::SerialLink;

constexpr const char* kInvalidHandle = "Opening serial port: Invalid handle retrieved opening port";

// The link's text for a device it can't open, with the reason's line up to `reason`.
std::string invalidHandle(const std::string& device, const std::string& reason) {
  return std::string(kInvalidHandle) + "\n" + device + ": " + reason;
}

// Reads up to `count` bytes from the pseudo-terminal's master side, giving up after 2 s.
std::vector<uint8_t> readMaster(int master, size_t count) {
  std::vector<uint8_t> got;
  while (got.size() < count) {
    pollfd wanted{master, POLLIN, 0};
    if (poll(&wanted, 1, 2000) <= 0) {
      break;
    }
    uint8_t buffer[512];
    ssize_t n = ::read(master, buffer, std::min(sizeof buffer, count - got.size()));
    if (n <= 0) {
      break;
    }
    got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

// COM1 is a pseudo-terminal, COM2 is missing, COM3 a regular file, COM4 /dev/null.
class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    pty_ = PtyPort::create(error);
    ASSERT_TRUE(pty_) << error;
    plainFile_ = std::filesystem::temp_directory_path() /
                 ("quillmar-link-" + std::to_string(getpid()) + ".txt");
    std::ofstream(plainFile_) << "not a terminal\n";
    devices_ = {pty_->devicePath(), "/dev/quillmar-no-such-port", plainFile_.string(), "/dev/null"};
  }
  void TearDown() override { std::filesystem::remove(plainFile_); }

  std::unique_ptr<PtyPort> pty_;
  std::filesystem::path plainFile_;
  PortDevices devices_;
};

struct FailedOpen {
  uint16_t portIndex;
  uint16_t baudRate;
  std::string message;  // the whole text, or for a missing device its start
};

TEST_F(LinkTest, FailedOpenReportsWhyAndStaysClosed) {
  const FailedOpen cases[] = {
      {4, 38400, "Opening serial port: Only Com1 - Com4 are supported"},
      {65535, 38400, "Opening serial port: Only Com1 - Com4 are supported"},
      {1, 38400, invalidHandle("/dev/quillmar-no-such-port", "no such device; ")},
      {2, 38400, "Opening serial port:  Could not get comm status"},
      {3, 38400, "Opening serial port:  Could not get comm status"},
      {0, 12345, "Opening serial port:  Could not set comm status"},
  };
  for (const FailedOpen& c : cases) {
    SerialLink link(devices_);
    const std::string message = link.open(c.portIndex, c.baudRate);
    EXPECT_EQ(c.portIndex == 1 ? message.substr(0, c.message.size()) : message, c.message)
        << "port index " << c.portIndex;
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.portIndex(), -1);
  }
}

TEST_F(LinkTest, FailedOpenLeavesAnOpenLinkAsItWas) {
  SerialLink link(devices_);
  ASSERT_EQ(link.open(0, 38400), "");
  EXPECT_NE(link.open(2, 38400), "");
  EXPECT_EQ(link.portIndex(), 0);
  EXPECT_EQ(link.baudRate(), 38400);
  EXPECT_EQ(link.writeByte(0x5A), 1);
  EXPECT_EQ(readMaster(pty_->masterFd(), 1), std::vector<uint8_t>{0x5A});
}

TEST_F(LinkTest, ClosedLinkSendsNothingAndDoesNotWait) {
  SerialLink link(devices_);
  ASSERT_EQ(link.open(0, 38400), "");
  link.close();
  link.close();
  uint8_t waiting = 0x33;
  ASSERT_EQ(::write(pty_->masterFd(), &waiting, 1), 1);
  EXPECT_EQ(link.writeByte(0x41), 0);
  EXPECT_EQ(link.readByte(20000), 0) << "returns at once instead of reading the waiting byte";
  EXPECT_EQ(link.portIndex(), -1);
  EXPECT_TRUE(readMaster(pty_->masterFd(), 1).empty());
}

TEST_F(LinkTest, BytesSentBeforeTheOpenAreNotReceived) {
  const uint8_t stale[] = {'Y', '\r', 0x00};
  ASSERT_EQ(::write(pty_->masterFd(), stale, sizeof stale), 3);
  SerialLink link(devices_);
  ASSERT_EQ(link.open(0, 38400), "");
  EXPECT_EQ(link.readByte(100), -2);
  uint8_t fresh = 0x7E;
  ASSERT_EQ(::write(pty_->masterFd(), &fresh, 1), 1);
  EXPECT_EQ(link.readByte(2000), 0x7E);
}

TEST_F(LinkTest, ReadWaitsForTheTimeOutOrReturnsAWaitingByte) {
  SerialLink link(devices_);
  ASSERT_EQ(link.open(0, 38400), "");
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(link.readByte(150), -2);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(150));

  uint8_t waiting = 0x0D;
  ASSERT_EQ(::write(pty_->masterFd(), &waiting, 1), 1);
  EXPECT_EQ(link.readByte(20000), 0x0D);
}

TEST_F(LinkTest, ReadFailsWhenTheFarEndIsGone) {
  SerialLink link(devices_);
  ASSERT_EQ(link.open(0, 38400), "");
  pty_.reset();
  EXPECT_EQ(link.readByte(2000), -1);
}

// Raw 8N1 at the asked rate, software flow control off, hardware flow control untouched.
TEST_F(LinkTest, OpenSetsRawEightNOneAndKeepsHardwareFlowControl) {
  int probe = ::open(devices_[0].c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(probe, 0);
  termios before{};
  ASSERT_EQ(tcgetattr(probe, &before), 0);
  before.c_cflag |= CRTSCTS | PARENB | CSTOPB;
  before.c_iflag |= IXON | IXOFF | ICRNL;
  before.c_lflag |= ICANON | ECHO;
  before.c_oflag |= OPOST;
  ASSERT_EQ(tcsetattr(probe, TCSANOW, &before), 0);

  SerialLink link(devices_);
  ASSERT_EQ(link.open(0, 19200), "");
  termios after{};
  ASSERT_EQ(tcgetattr(probe, &after), 0);
  ::close(probe);
  EXPECT_EQ(cfgetospeed(&after), B19200);
  EXPECT_EQ(after.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), CS8 | CRTSCTS);
  EXPECT_EQ(after.c_iflag & (IXON | IXOFF | ICRNL), 0u);
  EXPECT_EQ(after.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_EQ(after.c_oflag & OPOST, 0u);
}

// The reason line for each kind of failure, with and without the facts that complete it.
TEST(OpenFailureText, TellsWhatToDo) {
  using Kind = OpenFailure::Kind;
  struct Case {
    OpenFailure failure;
    std::string line;
  };
  const Case cases[] = {
      {{Kind::NoDevice, {}, "", ""},
       "/dev/ttyS1: no such device; no serial ports were found on this computer."},
      {{Kind::NoDevice, {"/dev/ttyS0", "/dev/ttyUSB0 (usb-Maker_Cable-if00)"}, "", ""},
       "/dev/ttyS1: no such device; serial ports on this computer: /dev/ttyS0, /dev/ttyUSB0 "
       "(usb-Maker_Cable-if00)."},
      {{Kind::PermissionDenied, {}, "dialout", ""},
       "/dev/ttyS1: permission denied; the user must be in the group \"dialout\" that owns the "
       "device (sudo usermod -a -G dialout $USER, then log in again)."},
      {{Kind::PermissionDenied, {}, "", ""},
       "/dev/ttyS1: permission denied; ask the administrator for access to the device (on most "
       "systems through the group \"dialout\")."},
      {{Kind::Other, {}, "", "Too many open files"}, "/dev/ttyS1: Too many open files."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(quillmar::link::describeOpenFailure("/dev/ttyS1", c.failure), c.line);
  }
}

// What each errno of a failed open means to the user. Permission is refused only to other
// users than root, so it is told apart here rather than provoked. The device's group is named
// only when its members may read and write the device.
TEST_F(LinkTest, ErrnoOfAFailedOpenIsToldApart) {
  using Kind = OpenFailure::Kind;
  struct stat status {};
  ASSERT_EQ(::stat(devices_[0].c_str(), &status), 0);
  const group* owner = getgrgid(status.st_gid);
  ASSERT_NE(owner, nullptr);
  struct Case {
    int error;
    mode_t mode;
    Kind kind;
    std::string group;
  };
  const Case cases[] = {
      {ENOENT, 0660, Kind::NoDevice, ""},
      {ENODEV, 0660, Kind::NoDevice, ""},
      {ENXIO, 0660, Kind::NoDevice, ""},
      {EIO, 0660, Kind::NoDevice, ""},
      {EACCES, 0660, Kind::PermissionDenied, owner->gr_name},
      {EPERM, 0660, Kind::PermissionDenied, owner->gr_name},
      {EACCES, 0620, Kind::PermissionDenied, ""},
      {EACCES, 0600, Kind::PermissionDenied, ""},
      {EBUSY, 0660, Kind::InUse, ""},
      {EWOULDBLOCK, 0660, Kind::InUse, ""},
      {EMFILE, 0660, Kind::Other, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(std::strerror(c.error)) + ", mode " + std::to_string(c.mode));
    ASSERT_EQ(::chmod(devices_[0].c_str(), c.mode), 0);
    const OpenFailure failure = quillmar::link::openFailureOfErrno(c.error, devices_[0]);
    EXPECT_EQ(failure.kind, c.kind);
    EXPECT_EQ(failure.group, c.group);
    EXPECT_EQ(failure.ports, c.kind == Kind::NoDevice ? quillmar::link::listSerialPorts()
                                                      : std::vector<std::string>{});
    EXPECT_EQ(failure.systemText, c.kind == Kind::Other ? std::strerror(c.error) : "");
  }
}

// Pseudo-terminals are no serial ports; every port listed exists.
TEST(PortList, ListsExistingSerialDevicesOnly) {
  std::string error;
  const std::unique_ptr<PtyPort> pty = PtyPort::create(error);
  ASSERT_TRUE(pty) << error;
  for (const std::string& port : quillmar::link::listSerialPorts()) {
    const std::string device = port.substr(0, port.find(' '));
    EXPECT_TRUE(std::filesystem::exists(device)) << port;
    EXPECT_NE(device, pty->devicePath());
    EXPECT_FALSE(device.starts_with("/dev/pts/")) << port;
  }
}

}  // namespace
