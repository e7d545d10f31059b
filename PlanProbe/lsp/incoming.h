// The client's frames, read on a thread of its own into a queue, so that the server can look
// for a cancellation or a newer change while it works, and wait for input without polling.
//
// The reader thread shares only the queue with its owner. The input stream must outlive the
// reader: a stream that ends (a string stream) is read to its end before the owner is gone; a
// stream that may block for ever (std::cin, whose client may keep it open after exit) lives as
// long as the process does, so the owner leaves a blocked reader behind when it is destroyed and
// the process's end takes it.
#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <optional>
#include <thread>

#include "lsp/framing.h"

namespace quillmar::lsp {

// Frames read from a stream by a thread of their own.
class Incoming {
 public:
  // Starts reading `in` at once.
  explicit Incoming(std::istream& in);
  // Stops the reader after the frame it reads; joins it when it is done, else leaves it.
  ~Incoming();
  Incoming(const Incoming&) = delete;
  Incoming& operator=(const Incoming&) = delete;

  // The next frame when one is waiting; the End frame comes once, as the last.
  std::optional<Frame> tryPop();
  // The next frame, waiting for it; End (again and again) once the input ended.
  Frame wait();
  // Waits up to `timeout` for a frame or the input's end; whether one of them came.
  bool waitFor(std::chrono::milliseconds timeout);
  // How many frames are waiting.
  std::size_t pending() const;

 private:
  struct Shared;

  // The reader thread's body: frames from `in` into `shared` until the input ends or the owner
  // stops it.
  static void readFrames(std::istream& in, const std::shared_ptr<Shared>& shared);

  std::shared_ptr<Shared> shared_;
  std::thread reader_;
};

}  // namespace quillmar::lsp
