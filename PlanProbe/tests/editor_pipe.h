// An editor's two pipes to a language server that runs on a thread of its own in the test: the
// test writes frames and reads the server's replies as they come, as an editor does.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <streambuf>
#include <string>

namespace quillmar::planprobe {

// Bytes written on one side and read on the other, the reader waiting until some come or the
// writer closes.
class BlockingPipe final : public std::streambuf {
 public:
  // Adds bytes for the reader.
  void put(const std::string& bytes) {
    std::lock_guard lock(mutex_);
    bytes_ += bytes;
    changed_.notify_all();
  }
  // No more bytes will come: the reader sees the end once it has read the rest.
  void close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
  }
  // Waits until `ready` holds for everything written so far; false after `timeout`.
  bool waitUntil(const std::function<bool(const std::string&)>& ready,
                 std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return ready(bytes_); });
  }
  std::string written() {
    std::lock_guard lock(mutex_);
    return bytes_;
  }

 protected:
  int_type underflow() override {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return read_ < bytes_.size() || closed_; });
    if (read_ == bytes_.size()) {
      return traits_type::eof();
    }
    chunk_ = bytes_.substr(read_);
    read_ = bytes_.size();
    setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
    return traits_type::to_int_type(chunk_[0]);
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      put(std::string(1, traits_type::to_char_type(c)));
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    put(std::string(bytes, static_cast<size_t>(count)));
    return count;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string bytes_;
  size_t read_ = 0;    // bytes handed to the reader
  std::string chunk_;  // what the reader's get area shows
  bool closed_ = false;
};

}  // namespace quillmar::planprobe
