#include "link/port_list.h"

namespace quillmar::link {

std::string describePort(const SerialPortInfo& port) {
  std::vector<std::string> facts;
  if (port.usb && !port.vendorId.empty())
    facts.push_back("USB " + port.vendorId + ":" + port.productId);
  else if (port.usb)
    facts.push_back("USB");
  if (!port.serialNumber.empty())
    facts.push_back("serial " + port.serialNumber);
  if (!port.stableName.empty())
    facts.push_back("by-id " + port.stableName);
  std::string line = port.name + "  " + port.description;
  for (size_t i = 0; i < facts.size(); ++i)
    line += (i == 0 ? " (" : ", ") + facts[i];
  return facts.empty() ? line : line + ")";
}

}  // namespace quillmar::link
