// Win32 port backend: the communications API on a COMn device. The port is opened without
// sharing, 8N1 at the given rate with every other setting (flow control, handshake lines,
// XON/XOFF) as the port has it, and read with time-outs that return at the first byte.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "link/serial_link.h"

namespace quillmar::link {
namespace {

constexpr const char* kInvalidHandle = "Opening serial port: Invalid handle retrieved opening port";
constexpr const char* kCannotGetStatus = "Opening serial port:  Could not get comm status";
constexpr const char* kCannotSetStatus = "Opening serial port:  Could not set comm status";

class Win32Port final : public PortBackend {
 public:
  explicit Win32Port(HANDLE handle) : handle_(handle) {
    // Interval and per-byte multiplier both at their maximum: a read returns as soon as one
    // byte is there, and otherwise after the constant part, which readByte() sets. Write
    // time-outs stay zero, so a write waits until it is done.
    readTimeouts_.ReadIntervalTimeout = MAXDWORD;
    readTimeouts_.ReadTotalTimeoutMultiplier = MAXDWORD;
  }
  ~Win32Port() override { CloseHandle(handle_); }
  Win32Port(const Win32Port&) = delete;
  Win32Port& operator=(const Win32Port&) = delete;

  int readByte(uint16_t timeoutMs) override {
    readTimeouts_.ReadTotalTimeoutConstant = timeoutMs;
    SetCommTimeouts(handle_, &readTimeouts_);  // a refusal keeps the previous time-outs
    uint8_t value = 0;
    DWORD got = 0;
    if (!ReadFile(handle_, &value, 1, &got, nullptr)) {
      return -1;
    }
    return got == 0 ? -2 : value;
  }

  void writeByte(uint8_t value) override {
    DWORD sent = 0;
    WriteFile(handle_, &value, 1, &sent, nullptr);  // a lost byte shows as a missing reply
  }

 private:
  HANDLE handle_;
  COMMTIMEOUTS readTimeouts_{};
};

}  // namespace

PortDevices defaultPortDevices() {
  return {"COM1", "COM2", "COM3", "COM4"};
}

// A device path such as \\.\COM10 works as well as the plain names: CreateFileA takes both.
std::unique_ptr<PortBackend> openPort(const std::string& device, uint16_t baudRate,
                                      std::string& error) {
  const HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = kInvalidHandle;
    return nullptr;
  }
  auto port = std::make_unique<Win32Port>(handle);  // closes the handle on every failure below
  FlushFileBuffers(handle);
  DCB lineSettings{};
  lineSettings.DCBlength = sizeof lineSettings;
  if (!GetCommState(handle, &lineSettings)) {
    error = kCannotGetStatus;
    return nullptr;
  }
  lineSettings.BaudRate = baudRate;
  lineSettings.ByteSize = 8;
  lineSettings.StopBits = ONESTOPBIT;
  lineSettings.Parity = NOPARITY;
  if (!SetCommState(handle, &lineSettings)) {
    error = kCannotSetStatus;
    return nullptr;
  }
  return port;
}

}  // namespace quillmar::link
