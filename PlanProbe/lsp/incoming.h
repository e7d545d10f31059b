// The client's frames, read on a thread of its own into a queue, so that the server can look
// for a cancellation or a newer change while it works, and wait for input without polling.
//
// The reader thread shares only the queue with its owner. The input stream must outlive the
// reader. A stream that may block for ever (std::cin, whose client may keep it open after exit)
// lives as long as the process does, so the owner leaves a blocked reader behind when it is
// destroyed and the process's end takes it. A stream that its writer is sure to end (a pipe
// that a test closes) is read to its end when the owner goes, so that no reader outlives it.
#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <optional>
#include <thread>

#include "lsp/framing.h"

namespace quillmar::lsp {

// What the owner's end does with a reader that is still reading.
enum class ReaderAtEnd {
  LeftBehind,  // the input may stay open: the process's end takes the reader
  Joined,      // the input's writer ends it: wait for the reader
};

// Frames read from a stream by a thread of their own.
class Incoming {
 public:
  // Starts reading `in` at once.
  explicit Incoming(std::istream& in, ReaderAtEnd atEnd = ReaderAtEnd::LeftBehind);
  // Stops the reader after the frame it reads; joins it when it is done or `atEnd` says so,
  // else leaves it.
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
  ReaderAtEnd atEnd_;
  std::thread reader_;
};

}  // namespace quillmar::lsp
