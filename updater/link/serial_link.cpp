// SerialLink: the open/closed state machine over one PortBackend. Everything platform-specific
// (device names, line settings, waiting for a byte) lives in the backend files.
#include "link/serial_link.h"

#include <utility>

namespace quillmar::link {

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
