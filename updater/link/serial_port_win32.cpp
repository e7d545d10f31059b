// Win32 port backend: the communications API on a COMn device. The port is opened without
// sharing, 8N1 at the given rate with every other setting (flow control, handshake lines,
// XON/XOFF) as the port has it, and read with time-outs that return at the first byte.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "link/open_failure.h"
#include "link/port_list.h"
#include "link/serial_link.h"
#include "platform/error_text.h"

namespace quillmar::link {
namespace {

constexpr const char* kCannotGetStatus = "Opening serial port:  Could not get comm status";
constexpr const char* kCannotSetStatus = "Opening serial port:  Could not set comm status";

// The system's description of `code`, without its trailing line end and full stop.
std::string describe(DWORD code) {
  return platform::withoutFullStop(platform::systemErrorText(code));
}

// Why CreateFileA failed on a port. A port that another program holds answers "access
// denied", a sharing violation, or (a device locked by a program of another system, as under
// Wine) a lock violation, so all three count as in use.
OpenFailure openFailureOf(DWORD code) {
  OpenFailure failure;
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      failure.kind = OpenFailure::Kind::NoDevice;
      failure.ports = listSerialPorts();
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      failure.kind = OpenFailure::Kind::InUse;
      break;
    default:
      failure.systemText = describe(code);
      break;
  }
  return failure;
}

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

std::string comPortBeyondTable(int number) {
  return "COM" + std::to_string(number);
}

std::array<std::string, 2> comButtonPorts() {
  return {"COM1", "COM2"};
}

// CreateFileA finds only COM1..COM9 by the plain name; every COMn opens as the device path
// \\.\COMn, which the user never has to type. Messages name the port as the user gave it.
std::unique_ptr<PortBackend> openPort(const std::string& device, uint16_t baudRate,
                                      std::string& error) {
  const std::optional<int> number = comPortNumber(device);
  const std::string path = number ? "\\\\.\\COM" + std::to_string(*number) : device;
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = invalidHandleMessage(device, openFailureOf(GetLastError()));
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
