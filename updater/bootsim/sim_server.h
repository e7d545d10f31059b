// serve: runs a BootLoader on the master side of a PtyPort until told to stop or until a
// limit is reached. A session is one client's hold of the device, from its open to its close.
#pragma once

#include <atomic>
#include <cstdint>

#include "bootsim/boot_loader.h"
#include "bootsim/line_model.h"
#include "bootsim/pty_port.h"

namespace quillmar::bootsim {

// Zero means no limit.
struct ServeLimits {
  uint64_t sessions = 0;
  uint64_t commands = 0;
};

enum class ServeEnd { Stopped, SessionLimit, CommandLimit, Failed };

// Answers every byte the client sends until `stopFd` becomes readable or a limit is reached.
// A client that closes the device in the middle of a command leaves no half command behind,
// and a reply it left unread is not sent on to the next client. `sessionsEnded`, if given,
// counts the ended sessions for another thread to watch. With an active `line`, each reply
// reaches the client when the modelled line and adapter would deliver it, not at once.
ServeEnd serve(const PtyPort& port, BootLoader& loader, int stopFd, const ServeLimits& limits,
               std::atomic<uint64_t>* sessionsEnded = nullptr, LineTiming line = {});

}  // namespace quillmar::bootsim
