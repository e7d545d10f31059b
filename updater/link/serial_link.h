// SerialLink: the updater's one connection to the unit. One byte out, one byte in, with a
// time-out; no packets, buffering or retries of its own. The platform code lives behind
// PortBackend (serial_port_posix.cpp, serial_port_win32.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace quillmar::link {

inline constexpr uint16_t kLinkBaudRate = 38400;
inline constexpr uint16_t kReplyTimeoutMs = 20000;
inline constexpr int kPortCount = 4;

// Device names behind COM1..COM4, indexed by port index.
using PortDevices = std::array<std::string, kPortCount>;

// The platform's own names for COM1..COM4 (/dev/ttyS0..3 on Linux, COM1..COM4 on Windows).
PortDevices defaultPortDevices();

// The number n of a port name "COMn" in any case ("com12": 12), or nothing for other names.
std::optional<int> comPortNumber(const std::string& name);

// The device that "COMn" names beyond the fixed COM1..COM4: "COMn" on Windows, which opens
// any port by its name; "" on POSIX, where the COM names stand only for that table.
std::string comPortBeyondTable(int number);

// The port each of the dialog's Com1 and Com2 buttons names on this platform: COM1 and COM2 on
// Windows; none on POSIX, where the buttons take the listed ports in order.
std::array<std::string, 2> comButtonPorts();

// One open platform port. Created only by openPort() on full success.
class PortBackend {
 public:
  virtual ~PortBackend() = default;
  // Waits up to timeoutMs for one byte: 0..255, -1 when the read failed, -2 on time-out.
  virtual int readByte(uint16_t timeoutMs) = 0;
  // Sends one byte and waits until it has been handed to the device.
  virtual void writeByte(uint8_t value) = 0;
};

// Opens `device` exclusively, raw 8N1 at `baudRate`. On Windows a name "COMn" in any case opens
// that port, COM10 and above too. On failure returns null and sets `error`
// to one of the link's "Opening serial port: ..." texts; when the device itself can't be
// opened, a second line names it and says why (open_failure.h).
std::unique_ptr<PortBackend> openPort(const std::string& device, uint16_t baudRate,
                                      std::string& error);

class SerialLink {
 public:
  explicit SerialLink(PortDevices devices = defaultPortDevices());
  ~SerialLink();
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // Opens COM(portIndex + 1) at baudRate. Returns "" on success, else the failure text;
  // a failed open leaves the link as it was.
  std::string open(uint16_t portIndex, uint16_t baudRate);
  // Releases the port if open; does nothing on a closed link.
  void close();
  // Sends the low 8 bits of value: 1 when open, 0 (nothing sent) when closed.
  int writeByte(int value);
  // 0..255 the byte; -1 read failure; -2 time-out; 0 at once on a closed link.
  int readByte(uint16_t timeoutMs);

  bool isOpen() const { return portIndex_ != -1; }
  int portIndex() const { return portIndex_; }
  uint16_t baudRate() const { return baudRate_; }
  const PortDevices& devices() const { return devices_; }
  // Names the devices the next open takes; for a closed link (an open port is not moved).
  void setDevices(PortDevices devices) { devices_ = std::move(devices); }
  // The device of the open port; "" while closed.
  std::string deviceName() const { return isOpen() ? devices_[portIndex_] : std::string(); }

 private:
  PortDevices devices_;
  std::unique_ptr<PortBackend> port_;
  int portIndex_ = -1;
  uint16_t baudRate_ = 0;
};

}  // namespace quillmar::link
