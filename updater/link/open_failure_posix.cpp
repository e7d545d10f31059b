#include "link/open_failure_posix.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "link/port_list.h"

namespace quillmar::link {
namespace {

// The name of the group that owns `device`, or "" when it can't be found or joining it would
// not help, as the group may not both read and write the device.
std::string owningGroup(const std::string& device) {
  struct stat status {};
  if (::stat(device.c_str(), &status) != 0 || (status.st_mode & S_IRGRP) == 0 ||
      (status.st_mode & S_IWGRP) == 0)
    return "";
  const group* owner = ::getgrgid(status.st_gid);
  return owner != nullptr ? owner->gr_name : "";
}

}  // namespace

OpenFailure openFailureOfErrno(int error, const std::string& device) {
  OpenFailure failure;
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
    case EIO:  // a device node whose hardware is absent, as most /dev/ttyS ports
      failure.kind = OpenFailure::Kind::NoDevice;
      failure.ports = listSerialPorts();
      break;
    case EACCES:
    case EPERM:
      failure.kind = OpenFailure::Kind::PermissionDenied;
      failure.group = owningGroup(device);
      break;
    case EBUSY:  // another program holds the terminal exclusively
    case EWOULDBLOCK:
      failure.kind = OpenFailure::Kind::InUse;
      break;
    default:
      failure.systemText = std::strerror(error);
      break;
  }
  return failure;
}

}  // namespace quillmar::link
