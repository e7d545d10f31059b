// SerialLink: the open/closed state machine over one PortBackend. Everything platform-specific
// (device names, line settings, waiting for a byte) lives in the backend files.
#include "link/serial_link.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace quillmar::link {

// Signed numbers count, so that "COM-1" and "COM0" are COM names that no port has.
std::optional<int> comPortNumber(const std::string& name) {
  if (name.size() < 4)
    return std::nullopt;
  if (!std::equal(name.begin(), name.begin() + 3, "COM", [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == b;
      })) {
    return std::nullopt;
  }
  int number = 0;
  const char* last = name.data() + name.size();
  const auto [end, failure] = std::from_chars(name.data() + 3, last, number);
  if (failure != std::errc() || end != last)
    return std::nullopt;
  return number;
}

SerialLink::SerialLink(PortDevices devices) : devices_(std::move(devices)) {}

SerialLink::~SerialLink() {
  close();
}

// Only a fully opened port replaces the current one, so a failed open changes nothing.
std::string SerialLink::open(uint16_t portIndex, uint16_t baudRate) {
  if (portIndex >= kPortCount) {
    return "Opening serial port: Only Com1 - Com4 are supported";
  }
  std::string error;
  std::unique_ptr<PortBackend> port = openPort(devices_[portIndex], baudRate, error);
  if (!port) {
    return error;
  }
  port_ = std::move(port);
  portIndex_ = portIndex;
  baudRate_ = baudRate;
  return "";
}

void SerialLink::close() {
  if (portIndex_ == -1) {
    return;
  }
  port_.reset();
  portIndex_ = -1;
}

int SerialLink::writeByte(int value) {
  if (!isOpen()) {
    return 0;
  }
  port_->writeByte(static_cast<uint8_t>(value & 0xFF));
  return 1;
}

int SerialLink::readByte(uint16_t timeoutMs) {
  if (!isOpen()) {
    return 0;
  }
  return port_->readByte(timeoutMs);
}

}  // namespace quillmar::link
