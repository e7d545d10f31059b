// PtyPort: a fresh pseudo-terminal whose master side this process holds. A client opens the
// slave device (devicePath) as if it were a serial port; both sides are raw, so every byte
// passes unaltered. The port also watches the slave device's open and close events from its
// creation on, so a server started later still sees a client that was quicker.
#pragma once

#include <memory>
#include <string>

namespace quillmar::bootsim {

class PtyPort {
 public:
  // Opens a new pseudo-terminal. On failure returns null and sets `error`.
  static std::unique_ptr<PtyPort> create(std::string& error);
  ~PtyPort();
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;

  // The master side, non-blocking.
  int masterFd() const { return master_; }
  // Readable when the slave device was opened or closed (inotify events, IN_OPEN/IN_CLOSE).
  int deviceEventsFd() const { return events_; }
  // The slave device to connect to, e.g. /dev/pts/3.
  const std::string& devicePath() const { return devicePath_; }

 private:
  PtyPort(int master, std::string devicePath);

  int master_;
  int events_ = -1;
  std::string devicePath_;
};

}  // namespace quillmar::bootsim
