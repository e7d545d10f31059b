// The reader thread and the queue it fills.
#include "lsp/incoming.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <istream>
#include <mutex>
#include <utility>

namespace quillmar::lsp {

// What the reader and its owner share: the queue, whether the input ended, whether the owner
// still wants frames.
struct Incoming::Shared {
  mutable std::mutex mutex;
  std::condition_variable ready;
  std::deque<Frame> frames;
  bool ended = false;     // the End frame is queued (or was taken)
  bool stopped = false;   // the owner is gone
  bool finished = false;  // the reader returned
};

namespace {

// Whether `frame` ends the input.
bool isEnd(const Frame& frame) {
  return frame.kind == Frame::Kind::End;
}

}  // namespace

void Incoming::readFrames(std::istream& in, const std::shared_ptr<Shared>& shared) {
  FrameReader reader(in);
  for (;;) {
    Frame frame;
    try {
      frame = reader.next();
    } catch (const std::exception& e) {
      frame = {Frame::Kind::End, {}, std::string("reading the input failed: ") + e.what()};
    }
    const bool end = isEnd(frame);
    {
      std::lock_guard lock(shared->mutex);
      if (shared->stopped) {
        break;
      }
      shared->frames.push_back(std::move(frame));
      shared->ended = end;
    }
    shared->ready.notify_all();
    if (end) {
      break;
    }
  }
  std::lock_guard lock(shared->mutex);
  shared->finished = true;
}

Incoming::Incoming(std::istream& in, ReaderAtEnd atEnd)
    : shared_(std::make_shared<Shared>()), atEnd_(atEnd) {
  reader_ = std::thread([&in, shared = shared_] { readFrames(in, shared); });
}

Incoming::~Incoming() {
  bool join = atEnd_ == ReaderAtEnd::Joined;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopped = true;
    join = join || shared_->finished || shared_->ended;
  }
  if (join) {
    reader_.join();
  } else {
    reader_.detach();
  }
}

std::optional<Frame> Incoming::tryPop() {
  std::lock_guard lock(shared_->mutex);
  if (shared_->frames.empty()) {
    return std::nullopt;
  }
  auto frame = std::move(shared_->frames.front());
  shared_->frames.pop_front();
  return frame;
}

Frame Incoming::wait() {
  std::unique_lock lock(shared_->mutex);
  shared_->ready.wait(lock, [&] { return !shared_->frames.empty() || shared_->ended; });
  if (shared_->frames.empty()) {
    return {};
  }
  auto frame = std::move(shared_->frames.front());
  shared_->frames.pop_front();
  return frame;
}

bool Incoming::waitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(shared_->mutex);
  return shared_->ready.wait_for(lock, timeout,
                                 [&] { return !shared_->frames.empty() || shared_->ended; });
}

std::size_t Incoming::pending() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->frames.size();
}

}  // namespace quillmar::lsp
