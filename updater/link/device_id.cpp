#include "link/device_id.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace quillmar::link {
namespace {

// `text` cut at each of `separators`.
std::vector<std::string> split(const std::string& text, const std::string& separators) {
  std::vector<std::string> parts(1);
  for (const char c : text) {
    if (separators.find(c) != std::string::npos)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// The four hex digits after `prefix` ("VID_") in `field`, upper-case; "" when it is not that.
std::string hexId(const std::string& field, const std::string& prefix) {
  const std::string value = upper(field);
  if (value.size() != prefix.size() + 4 || value.rfind(prefix, 0) != 0)
    return "";
  const bool hex = std::all_of(value.begin() + static_cast<long>(prefix.size()), value.end(),
                               [](unsigned char c) { return std::isxdigit(c) != 0; });
  return hex ? value.substr(prefix.size()) : "";
}

}  // namespace

DeviceIdFacts parseDeviceInstanceId(const std::string& instanceId) {
  DeviceIdFacts facts;
  const std::vector<std::string> parts = split(instanceId, "\\");
  if (parts.size() != 3)
    return facts;
  const std::string bus = upper(parts[0]);
  const bool ftdi = bus == "FTDIBUS";
  if (bus != "USB" && !ftdi)
    return facts;
  const std::vector<std::string> fields = split(parts[1], ftdi ? "+" : "&");
  facts.usb = true;
  facts.vendorId = hexId(fields[0], "VID_");
  facts.productId = fields.size() > 1 ? hexId(fields[1], "PID_") : "";
  if (facts.vendorId.empty() || facts.productId.empty()) {
    facts.vendorId.clear();
    facts.productId.clear();
  }
  if (ftdi && fields.size() == 3 && fields[2].size() > 1)
    facts.serialNumber = fields[2].substr(0, fields[2].size() - 1);
  else if (!ftdi && parts[2].find('&') == std::string::npos)
    facts.serialNumber = parts[2];
  return facts;
}

}  // namespace quillmar::link
