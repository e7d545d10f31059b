#include "log/results_log.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "log/fast_format.h"

namespace quillmar::planprobe {

FileSink::~FileSink() {
  std::fclose(file_);
}

bool FileSink::note(bool ok) {
  if (!ok && error_ == 0) {
    error_ = errno;
  }
  return ok;
}

bool FileSink::write(const char* data, size_t size) {
  return note(std::fwrite(data, 1, size, file_) == size);
}

bool FileSink::flush() {
  return note(std::fflush(file_) == 0);
}

bool StringSink::write(const char* data, size_t size) {
  out_.append(data, size);
  return true;
}

std::unique_ptr<LogSink> openLogFile(const std::string& path, bool append) {
  // Binary mode: the CR LF line ends are made here, the same on every platform.
  std::FILE* file = std::fopen(path.c_str(), append ? "ab" : "wb");
  if (file == nullptr) {
    return nullptr;
  }
  return std::make_unique<FileSink>(file);
}

ResultsLog::~ResultsLog() {
  close();
}

void ResultsLog::open(std::unique_ptr<LogSink> sink) {
  close();
  sink_ = std::move(sink);
  flushed_ = 0;
  failed_ = false;
  failureReason_ = 0;
}

void ResultsLog::noteFailure() {
  if (!failed_) {
    failureReason_ = sink_->error();
  }
  failed_ = true;
}

char* ResultsLog::Pending::reserve(size_t extra) {
  if (size + extra > capacity) {
    const size_t grown = std::max(size + extra, std::max(capacity * 2, kDrainThreshold * 2));
    std::unique_ptr<char[]> larger(new char[grown]);
    if (size > 0) {
      std::memcpy(larger.get(), data.get(), size);
    }
    data = std::move(larger);
    capacity = grown;
  }
  return data.get() + size;
}

void ResultsLog::Pending::dropFront(size_t count) {
  std::memmove(data.get(), data.get() + count, size - count);
  size -= count;
}

void ResultsLog::write(std::string_view text) {
  char* out = pending_.reserve(2 * text.size());
  // Copied a line at a time: most text holds few line feeds.
  while (!text.empty()) {
    const void* found = std::memchr(text.data(), '\n', text.size());
    const size_t line =
        found == nullptr ? text.size() : static_cast<const char*>(found) - text.data();
    std::memcpy(out, text.data(), line);
    out += line;
    if (found == nullptr) {
      break;
    }
    *out++ = '\r';
    *out++ = '\n';
    text.remove_prefix(line + 1);
  }
  pending_.commit(out);
  drainIfLarge();
}

void ResultsLog::writeRawBlock(std::string_view bytes) {
  if (bytes.empty()) {
    return;
  }
  char* out = pending_.reserve(bytes.size());
  std::memcpy(out, bytes.data(), bytes.size());
  pending_.commit(out + bytes.size());
  drainIfLarge();
}

void ResultsLog::print(const char* format, ...) {
  va_list args;
  va_start(args, format);
  scratch_.clear();
  appendPrintf(scratch_, format, args);
  va_end(args);
  write(scratch_);
}

std::optional<std::string_view> ResultsLog::writtenSince(uint64_t position) const {
  if (position < flushed_ || position > this->position()) {
    return std::nullopt;
  }
  const size_t offset = static_cast<size_t>(position - flushed_);
  return std::string_view(pending_.data.get() + offset, pending_.size - offset);
}

void ResultsLog::holdFrom(uint64_t position) {
  hold_ = position < flushed_ ? flushed_ : position;
}

bool ResultsLog::withdrawTo(uint64_t position) {
  if (position < flushed_ || position > this->position()) {
    return false;
  }
  pending_.size = static_cast<size_t>(position - flushed_);
  return true;
}

void ResultsLog::drain(size_t count) {
  if (count == 0) {
    return;
  }
  if (sink_ != nullptr && !sink_->write(pending_.data.get(), count)) {
    noteFailure();
  }
  pending_.dropFront(count);
  flushed_ += count;
}

void ResultsLog::drainIfLarge() {
  size_t ready = pending_.size;
  if (hold_ && *hold_ - flushed_ < ready) {
    ready = static_cast<size_t>(*hold_ - flushed_);
  }
  if (ready >= kDrainThreshold) {
    drain(ready);
  }
}

bool ResultsLog::flush() {
  drain(pending_.size);
  hold_.reset();
  if (sink_ != nullptr && !sink_->flush()) {
    noteFailure();
  }
  return !failed_;
}

bool ResultsLog::close() {
  flush();
  sink_.reset();
  return !failed_;
}

}  // namespace quillmar::planprobe
