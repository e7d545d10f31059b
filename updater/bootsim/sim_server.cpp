// serve: the poll loop between the pseudo-terminal's master side and the boot loader.
// Sessions are counted from the device's open and close events, which queue up and so are
// never missed, however quickly a client closes and opens again.
#include "bootsim/sim_server.h"

#include "bootsim/device_holders.h"

#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <optional>
#include <thread>
#include <vector>

namespace quillmar::bootsim {
namespace {

// While no client holds the slave, the master reports a hang-up at once on every poll, so the
// loop then looks again after this pause instead of spinning.
constexpr int kIdlePollMs = 5;

using Clock = LineModel::Clock;

// A sleep ends late by some tens of microseconds, a lot next to a byte's 260 us at 38400
// bit/s. So the loop aims its sleep that much before a held reply is due (learning how late
// it wakes) and waits out the rest, at most kLastStretch, without sleeping.
constexpr std::chrono::microseconds kLastStretch{150};
constexpr std::chrono::microseconds kFirstLateness{30};

// A reply on the modelled line, and when the client may see it.
struct HeldReply {
  Clock::time_point due;
  std::vector<uint8_t> bytes;
};

class Server {
 public:
  Server(const PtyPort& port, BootLoader& loader, int stopFd, const ServeLimits& limits,
         std::atomic<uint64_t>* sessionsEnded, LineTiming line)
      : line_(line),
        model_(line),
        master_(port.masterFd()),
        watch_(port.deviceEventsFd()),
        loader_(loader),
        stopFd_(stopFd),
        limits_(limits),
        holders_(port.deviceEventsFd()),
        sessionsEnded_(sessionsEnded) {}

  ServeEnd run() {
    if (line_.active()) {
      // Wake-ups a few microseconds late, not the default fifty, keep short bytes on time.
      prctl(PR_SET_TIMERSLACK, 1UL);
    }
    for (;;) {
      if (hungUp_ && !pollOnce(kIdlePollMs * 1'000'000LL, false)) {
        return end_;
      }
      if (!pollOnce(hungUp_ ? 0 : untilDue(), true) || !sendDue()) {
        return end_;
      }
    }
  }

 private:
  // Waits up to timeoutNs (forever when negative) for the stop descriptor, the device's
  // events and (if `withMaster`) the master side, and handles what arrived. False when the
  // serving is over (see end_).
  bool pollOnce(long long timeoutNs, bool withMaster) {
    pollfd fds[3] = {
        {stopFd_, POLLIN, 0}, {watch_, POLLIN, 0}, {withMaster ? master_ : -1, POLLIN, 0}};
    const timespec timeout{static_cast<time_t>(timeoutNs / 1'000'000'000),
                           static_cast<long>(timeoutNs % 1'000'000'000)};
    int ready = ppoll(fds, 3, timeoutNs < 0 ? nullptr : &timeout, nullptr);
    if (ready < 0) {
      return errno == EINTR || finish(ServeEnd::Failed);
    }
    if (fds[0].revents != 0) {
      return finish(ServeEnd::Stopped);
    }
    // Device events first, so that a client's close is known before answering what the next
    // client sends.
    if ((fds[1].revents & POLLIN) != 0 && readDeviceEvents()) {
      held_.clear();  // replies for a client that has gone
    }
    short master = fds[2].revents;
    if ((master & POLLIN) != 0 && !answerInput()) {
      return false;
    }
    if (withMaster) {
      hungUp_ = (master & POLLHUP) != 0;
      if (hungUp_ && (master & POLLIN) == 0) {
        // Nobody holds the device and everything sent has been read: a command left half
        // done belongs to a client that has gone.
        loader_.dropPartialCommand();
        held_.clear();
      }
    }
    return limits_.sessions == 0 || holders_.sessionsEnded() < limits_.sessions || finishSessions();
  }

  bool finish(ServeEnd end) {
    end_ = end;
    return false;
  }

  // How long the next poll may sleep, in nanoseconds: until the learned lateness before the
  // first held reply is due, or (none held) until input comes (-1).
  long long untilDue() {
    if (held_.empty()) {
      return -1;
    }
    aimedAt_ = held_.front().due - lateness_;
    aimed_ = true;
    const auto left = aimedAt_ - Clock::now();
    return std::max<long long>(0, std::chrono::nanoseconds(left).count());
  }

  // Sends every held reply that is due within the last stretch, each at its time. False when
  // the serving is over.
  bool sendDue() {
    while (!held_.empty()) {
      const Clock::time_point now = Clock::now();
      if (held_.front().due - now > kLastStretch) {
        break;
      }
      if (aimed_) {
        learnLateness(now - aimedAt_);
      }
      while (Clock::now() < held_.front().due) {
      }
      const HeldReply reply = std::move(held_.front());
      held_.pop_front();
      if (!sendAll(reply.bytes)) {
        return false;
      }
    }
    return true;
  }

  // Follows how late the aimed sleeps end (a wake-up for input counts as early).
  void learnLateness(Clock::duration late) {
    aimed_ = false;
    const Clock::duration sample = std::clamp<Clock::duration>(late, {}, kLastStretch);
    lateness_ += (sample - lateness_) / 8;
  }

  // Reads what has arrived and answers it byte by byte. False when the serving is over.
  bool answerInput() { return line_.active() ? answerOnTheLine() : answerAtOnce(); }

  // Each byte arrives when the modelled line has carried it; each reply is held until the
  // client would see it. At the command limit the held replies still go out, on time.
  bool answerOnTheLine() {
    uint8_t input[4096];
    ssize_t got = ::read(master_, input, sizeof input);
    const Clock::time_point now = Clock::now();
    for (ssize_t at = 0; at < got; ++at) {
      const Clock::time_point arrived = model_.byteArrives(now);
      std::vector<uint8_t> reply;
      loader_.receive(input[at], reply);
      if (!reply.empty()) {
        held_.push_back({model_.replySeen(arrived, reply.size()), std::move(reply)});
      }
      if (limits_.commands != 0 && loader_.commandsCompleted() >= limits_.commands) {
        while (!held_.empty()) {
          std::this_thread::sleep_until(held_.front().due);
          if (!sendDue()) {
            return false;
          }
        }
        return finish(ServeEnd::CommandLimit);
      }
    }
    return true;
  }

  bool answerAtOnce() {
    uint8_t input[4096];
    ssize_t got = ::read(master_, input, sizeof input);
    std::vector<uint8_t> reply;
    for (ssize_t at = 0; at < got; ++at) {
      loader_.receive(input[at], reply);
      bool limitReached = limits_.commands != 0 && loader_.commandsCompleted() >= limits_.commands;
      if (limitReached || at + 1 == got) {
        if (!sendAll(reply)) {
          return false;
        }
        if (limitReached) {
          return finish(ServeEnd::CommandLimit);
        }
      }
    }
    return true;
  }

  // Sends the whole reply. A client that leaves without reading it loses the rest, and so
  // does the next client: the device's events are looked at before every write.
  bool sendAll(const std::vector<uint8_t>& reply) {
    size_t sent = 0;
    while (sent < reply.size()) {
      pollfd fds[3] = {{stopFd_, POLLIN, 0}, {watch_, POLLIN, 0}, {master_, POLLOUT, 0}};
      int ready = poll(fds, 3, -1);
      if (ready > 0 && fds[0].revents != 0) {
        return finish(ServeEnd::Stopped);
      }
      if (((fds[1].revents & POLLIN) != 0 && readDeviceEvents()) ||
          (fds[2].revents & POLLHUP) != 0) {
        return true;
      }
      ssize_t n = ready > 0 ? ::write(master_, reply.data() + sent, reply.size() - sent) : 0;
      if (n > 0) {
        sent += static_cast<size_t>(n);
      } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
        return true;
      }
    }
    return true;
  }

  // Follows the device's opens and closes; true when a session ended.
  bool readDeviceEvents() {
    const bool letGo = holders_.readEvents();
    if (letGo && sessionsEnded_ != nullptr) {
      sessionsEnded_->store(holders_.sessionsEnded());
    }
    return letGo;
  }

  // Ends the serving at the session limit, after answering whatever that session still sent.
  bool finishSessions() {
    pollfd master{master_, POLLIN, 0};
    while (poll(&master, 1, 0) > 0 && (master.revents & POLLIN) != 0) {
      if (!answerInput()) {
        return false;
      }
    }
    return finish(ServeEnd::SessionLimit);
  }

  LineTiming line_;
  LineModel model_;
  std::deque<HeldReply> held_;
  Clock::duration lateness_ = kFirstLateness;
  Clock::time_point aimedAt_{};
  bool aimed_ = false;
  int master_;
  int watch_;
  BootLoader& loader_;
  int stopFd_;
  ServeLimits limits_;
  bool hungUp_ = true;  // PtyPort leaves the slave closed
  DeviceHolders holders_;
  std::atomic<uint64_t>* sessionsEnded_;
  ServeEnd end_ = ServeEnd::Stopped;
};

}  // namespace

ServeEnd serve(const PtyPort& port, BootLoader& loader, int stopFd, const ServeLimits& limits,
               std::atomic<uint64_t>* sessionsEnded, LineTiming line) {
  return Server(port, loader, stopFd, limits, sessionsEnded, line).run();
}

}  // namespace quillmar::bootsim
