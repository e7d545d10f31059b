#include "results_log.h"

#include <cstdarg>
#include <cstring>
#include <vector>

namespace quillmar::planprobe {

namespace {
// Output is handed to the sink once this much can leave the buffer.
constexpr size_t kDrainThreshold = size_t{1} << 18;
}  // namespace

FileSink::~FileSink() {
  std::fclose(file_);
}

bool FileSink::write(const char* data, size_t size) {
  return std::fwrite(data, 1, size, file_) == size;
}

bool FileSink::flush() {
  return std::fflush(file_) == 0;
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
}

void ResultsLog::write(std::string_view text) {
  while (!text.empty()) {
    const void* found = std::memchr(text.data(), '\n', text.size());
    if (found == nullptr) {
      pending_.append(text);
      break;
    }
    const size_t line = static_cast<const char*>(found) - text.data();
    pending_.append(text.data(), line);
    pending_.append("\r\n", 2);
    text.remove_prefix(line + 1);
  }
  drainIfLarge();
}

void ResultsLog::print(const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<size_t>(length) < sizeof small) {
    va_end(again);
    write(std::string_view(small, length));
    return;
  }
  std::vector<char> large(static_cast<size_t>(length) + 1);
  std::vsnprintf(large.data(), large.size(), format, again);
  va_end(again);
  write(std::string_view(large.data(), length));
}

void ResultsLog::holdFrom(uint64_t position) {
  hold_ = position < flushed_ ? flushed_ : position;
}

bool ResultsLog::withdrawTo(uint64_t position) {
  if (position < flushed_ || position > this->position()) {
    return false;
  }
  pending_.resize(position - flushed_);
  return true;
}

void ResultsLog::drain(size_t count) {
  if (count == 0) {
    return;
  }
  if (sink_ != nullptr && !sink_->write(pending_.data(), count)) {
    failed_ = true;
  }
  pending_.erase(0, count);
  flushed_ += count;
}

void ResultsLog::drainIfLarge() {
  size_t ready = pending_.size();
  if (hold_ && *hold_ - flushed_ < ready) {
    ready = static_cast<size_t>(*hold_ - flushed_);
  }
  if (ready >= kDrainThreshold) {
    drain(ready);
  }
}

bool ResultsLog::flush() {
  drain(pending_.size());
  hold_.reset();
  if (sink_ != nullptr && !sink_->flush()) {
    failed_ = true;
  }
  return !failed_;
}

bool ResultsLog::close() {
  flush();
  sink_.reset();
  return !failed_;
}

}  // namespace quillmar::planprobe
