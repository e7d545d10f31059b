#include "boot/port_search.h"

#include <string_view>
#include <system_error>
#include <thread>

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

// What a probe found, as the search's lines say it: why it failed, or what it answered.
std::string probeOutcome(const PortProbe& probe) {
  return probe.failure.empty() ? "answered \"" + probe.answer + "\"" : probe.failure;
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
    text += "  " + probe.device + ": " + probeOutcome(probe) + "\n";
  }
  return text;
}

std::vector<PortProbe> probeEach(const std::vector<std::string>& devices, uint16_t timeoutMs) {
  std::vector<PortProbe> probes(devices.size());
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const auto ask = [&probes, &devices, i, timeoutMs] {
      probes[i] = probe(devices[i], timeoutMs);
    };
    try {
      threads.emplace_back(ask);
    } catch (const std::system_error&) {
      ask();  // no thread to be had: this port is asked here
    }
  }
  for (std::thread& thread : threads)
    thread.join();
  return probes;
}

bool answered(const PortProbe& probe) {
  return probe.answer == kSignature;
}

std::string describeProbes(const std::vector<PortProbe>& probes) {
  if (probes.empty())
    return "--port all: no serial ports were found on this computer.\n";
  std::string text;
  std::string found;
  for (const PortProbe& probe : probes) {
    if (answered(probe))
      found += (found.empty() ? "" : ", ") + probe.device;
    else
      text += "--port all: skipped " + probe.device + ": " + probeOutcome(probe) + "\n";
  }
  return text + (found.empty() ? "--port all: no boot loader answered \"AVRBOOT\"\n"
                               : "--port all: the boot loader answers on " + found + "\n");
}

}  // namespace quillmar::boot
