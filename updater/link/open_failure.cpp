#include "link/open_failure.h"

namespace quillmar::link {
namespace {

// "A, B, C": the ports as one list.
std::string joined(const std::vector<std::string>& ports) {
  std::string list;
  for (const std::string& port : ports)
    list += (list.empty() ? "" : ", ") + port;
  return list;
}

std::string noDevice(const OpenFailure& failure) {
  if (failure.ports.empty())
    return "no such device; no serial ports were found on this computer.";
  return "no such device; serial ports on this computer: " + joined(failure.ports) + ".";
}

std::string permissionDenied(const OpenFailure& failure) {
  if (failure.group.empty())
    return "permission denied; ask the administrator for access to the device (on most systems "
           "through the group \"dialout\").";
  return "permission denied; the user must be in the group \"" + failure.group +
         "\" that owns the device (sudo usermod -a -G " + failure.group +
         " $USER, then log in again).";
}

}  // namespace

std::string describeOpenFailure(const std::string& device, const OpenFailure& failure) {
  std::string reason;
  switch (failure.kind) {
    case OpenFailure::Kind::NoDevice:
      reason = noDevice(failure);
      break;
    case OpenFailure::Kind::PermissionDenied:
      reason = permissionDenied(failure);
      break;
    case OpenFailure::Kind::InUse:
      reason = "in use by another program; close that program or choose another port.";
      break;
    case OpenFailure::Kind::Other:
      reason = failure.systemText + ".";
      break;
  }
  return device + ": " + reason;
}

std::string invalidHandleMessage(const std::string& device, const OpenFailure& failure) {
  return std::string(kInvalidHandle) + "\n" + describeOpenFailure(device, failure);
}

}  // namespace quillmar::link
