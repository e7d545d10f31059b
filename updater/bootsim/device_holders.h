// DeviceHolders: follows the opens and closes of a PtyPort's device. A session is one client's
// hold of the device, from its open until the last holder closes it.
#pragma once

#include <cstdint>

namespace quillmar::bootsim {

class DeviceHolders {
 public:
  // `eventsFd` is the port's deviceEventsFd().
  explicit DeviceHolders(int eventsFd) : events_(eventsFd) {}

  // Reads the events that have arrived; true when a session ended among them.
  bool readEvents();
  bool held() const { return holders_ > 0; }
  int eventsFd() const { return events_; }
  uint64_t sessionsEnded() const { return sessions_; }

 private:
  int events_;
  uint64_t holders_ = 0;
  uint64_t sessions_ = 0;
};

}  // namespace quillmar::bootsim
