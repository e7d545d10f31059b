// The results log: the one text stream that the analysis and the simulation write to.
//
// Every "\n" written reaches the sink as CR LF, on every platform. Output is collected in a
// memory buffer and handed to the sink in large blocks. A caller can keep back everything
// written from a position on (`holdFrom`) and later take back part of it (`withdrawTo`), so a
// minute that turns out to have nothing to say leaves no trace; held text is kept, not lost,
// when the log is flushed or destroyed.
//
// log/ is the output and file-system layer: this writer, the number formatting it uses and the
// file stamp. It knows nothing of schedules, rules or the session and uses only the standard
// library and the platform's file calls.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillmar::planprobe {

// Where the log's bytes end up. Called only with large blocks, never per line.
class LogSink {
 public:
  virtual ~LogSink() = default;
  // Stores `size` bytes; false when they could not all be stored.
  virtual bool write(const char* data, size_t size) = 0;
  // Pushes stored bytes to their final place; false on failure.
  virtual bool flush() = 0;
  // The system's reason (an errno value) for the first failed write or flush; 0 when none
  // failed or the sink cannot tell.
  virtual int error() const { return 0; }
};

// A sink over a C stream that the sink owns and closes.
class FileSink final : public LogSink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;
  bool write(const char* data, size_t size) override;
  bool flush() override;
  int error() const override { return error_; }

 private:
  // Keeps the reason of the first failure; returns `ok`.
  bool note(bool ok);

  std::FILE* file_;
  int error_ = 0;
};

// A sink that collects everything in a string (tests, in-memory runs).
class StringSink final : public LogSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  bool write(const char* data, size_t size) override;
  bool flush() override { return true; }

 private:
  std::string& out_;
};

// Opens `path` for the results log: truncated, or for appending (created when missing).
// Returns null when the file cannot be opened, with errno saying why.
std::unique_ptr<LogSink> openLogFile(const std::string& path, bool append);

class ResultsLog {
 public:
  // A log without a sink drops what is written (nothing is open yet).
  ResultsLog() = default;
  explicit ResultsLog(std::unique_ptr<LogSink> sink) : sink_(std::move(sink)) {}
  ~ResultsLog();
  ResultsLog(const ResultsLog&) = delete;
  ResultsLog& operator=(const ResultsLog&) = delete;

  // Attaches a sink, flushing and closing any previous one first.
  void open(std::unique_ptr<LogSink> sink);
  bool isOpen() const { return sink_ != nullptr; }

  // Appends text, turning each line feed into CR LF.
  void write(std::string_view text);
  // Appends bytes that are in the log's form already (line ends as CR LF), unchanged. Inline:
  // the minute loop's lines come this way, and most need no more than a copy.
  void writeRaw(std::string_view bytes) {
    const size_t size = pending_.size + bytes.size();
    if (size < kDrainThreshold && size <= pending_.capacity && !bytes.empty()) {
      std::memcpy(pending_.data.get() + pending_.size, bytes.data(), bytes.size());
      pending_.size = size;
      return;
    }
    writeRawBlock(bytes);
  }
  // Appends printf-style formatted text, line feeds turned into CR LF. The conversions the
  // program uses (%d %i %0Ni %s %.*s) skip the C library's formatter; a path that runs once a
  // simulated minute is faster still building its few bytes itself and calling `write`.
  void print(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // The count of bytes (after the CR LF translation) written since the log was opened.
  uint64_t position() const { return flushed_ + pending_.size; }
  // The bytes written since `position`, as the sink will get them; nothing when some of them
  // have left the buffer already. Valid until the next write.
  std::optional<std::string_view> writtenSince(uint64_t position) const;
  // Keeps everything from `position` on in memory until `release`. Only one hold is active.
  void holdFrom(uint64_t position);
  void release() { hold_.reset(); }
  // Takes back everything written after `position`, which must lie inside the held text.
  // Returns false (changing nothing) when that text has already left the buffer.
  bool withdrawTo(uint64_t position);

  // Hands all buffered text, held text included, to the sink and flushes it.
  bool flush();
  // Flushes, then closes the sink. Returns false when any write to the sink failed.
  bool close();
  // True once any write to the sink has failed.
  bool failed() const { return failed_; }
  // The system's reason (an errno value) for the first failed write, as the sink told it; 0
  // when none failed or the sink could not tell.
  int failureReason() const { return failureReason_; }

  // Set by every report of an error or warning; never cleared.
  bool errorSeen() const { return errorSeen_; }
  void markErrorSeen() { errorSeen_ = true; }

 private:
  // Output is handed to the sink once this much can leave the buffer.
  static constexpr size_t kDrainThreshold = size_t{1} << 18;

  // writeRaw when the bytes may not fit or may fill the buffer up for the sink.
  void writeRawBlock(std::string_view bytes);

  // Bytes not yet handed to the sink. Grown by hand so that appending never zero-fills.
  struct Pending {
    std::unique_ptr<char[]> data;
    size_t size = 0;
    size_t capacity = 0;

    // Room for `extra` more bytes; returns where they go.
    char* reserve(size_t extra);
    // Takes the bytes up to `end` (from reserve) as written.
    void commit(const char* end) { size = static_cast<size_t>(end - data.get()); }
    // Drops the first `count` bytes.
    void dropFront(size_t count);
  };

  void drain(size_t count);
  void drainIfLarge();
  // Records a failed write to the sink.
  void noteFailure();

  std::unique_ptr<LogSink> sink_;
  Pending pending_;
  std::string scratch_;  // formatted text on its way into pending_
  uint64_t flushed_ = 0;
  std::optional<uint64_t> hold_;
  bool failed_ = false;
  int failureReason_ = 0;
  bool errorSeen_ = false;
};

}  // namespace quillmar::planprobe
