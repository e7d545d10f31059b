// DeviceHolders: counting the device's inotify open and close events.
#include "bootsim/device_holders.h"

#include <sys/inotify.h>
#include <unistd.h>

namespace quillmar::bootsim {

bool DeviceHolders::readEvents() {
  alignas(inotify_event) char events[4096];
  ssize_t got = ::read(events_, events, sizeof events);
  bool letGo = false;
  for (ssize_t at = 0; at < got;) {
    const auto* event = reinterpret_cast<const inotify_event*>(events + at);
    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    if ((event->mask & IN_OPEN) != 0) {
      ++holders_;
    } else if ((event->mask & IN_CLOSE) != 0 && holders_ > 0 && --holders_ == 0) {
      ++sessions_;
      letGo = true;
    }
  }
  return letGo;
}

}  // namespace quillmar::bootsim
