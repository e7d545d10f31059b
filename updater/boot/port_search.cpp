#include "boot/port_search.h"

#include <string_view>

#include "boot/boot_commands.h"
#include "boot/boot_programmer.h"
#include "link/serial_link.h"

namespace quillmar::boot {
namespace {

// The second line of the link's open failure (why the device could not be opened), or the
// whole text when it has one line.
std::string openFailureReason(const std::string& error, const std::string& device) {
  const size_t newline = error.find('\n');
  std::string reason = newline == std::string::npos ? error : error.substr(newline + 1);
  if (reason.rfind(device + ": ", 0) == 0)
    reason.erase(0, device.size() + 2);
  return reason;
}

// Opens `device`, sends the escapes and the identifier command as an operation does, and
// collects up to seven bytes of answer.
PortProbe probe(const std::string& device, uint16_t timeoutMs) {
  PortProbe result{device, "", ""};
  link::SerialLink serial({device, "", "", ""});
  const std::string error = serial.open(0, link::kLinkBaudRate);
  if (!error.empty()) {
    result.failure = openFailureReason(error, device);
    return result;
  }
  for (int i = 0; i < kEscapeCount; ++i)
    serial.writeByte(kEscape);
  serial.writeByte(kSoftwareId);
  std::string answer;
  while (answer.size() < std::string_view(kSignature).size()) {
    const int byte = serial.readByte(timeoutMs);
    if (byte < 0)
      break;
    answer += static_cast<char>(byte);
  }
  serial.close();
  result.answer = escapeUnprintable(answer);
  if (answer.empty())
    result.failure = "no answer";
  return result;
}

}  // namespace

PortSearch findBootLoader(const std::vector<std::string>& devices, uint16_t timeoutMs) {
  PortSearch search;
  for (const std::string& device : devices) {
    search.tried.push_back(probe(device, timeoutMs));
    if (search.tried.back().answer == kSignature) {
      search.found = device;
      break;
    }
  }
  return search;
}

std::string describeSearch(const PortSearch& search) {
  if (search.found)
    return "--port auto: the boot loader answers on " + *search.found + "\n";
  if (search.tried.empty())
    return "--port auto: no serial ports were found on this computer.\n";
  std::string text = "--port auto: no boot loader answered \"AVRBOOT\"; tried:\n";
  for (const PortProbe& probe : search.tried) {
    text += "  " + probe.device + ": " +
            (probe.failure.empty() ? "answered \"" + probe.answer + "\"" : probe.failure) + "\n";
  }
  return text;
}

}  // namespace quillmar::boot
