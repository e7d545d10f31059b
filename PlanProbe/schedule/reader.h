// Schedule file reader: walks a cursor over a schedule text, which is taken in chunks of 1023
// bytes into one fixed buffer, either from an open file or from the text held in memory. Every
// step refills the buffer when the cursor reaches the end of a chunk, so callers see one
// continuous text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "schedule/result_code.h"
#include "schedule/schedule_event.h"

namespace quillmar::planprobe {

// A word of at most 25 upper-case letters A..Z, zero-terminated.
struct Word {
  static constexpr std::size_t kMaxLetters = 25;
  std::array<char, kMaxLetters + 1> letters{};

  std::string_view text() const { return letters.data(); }
};

// The reader state of one schedule file: the open file, the chunk buffer, the cursor and the
// end-of-input flag. One object per parse; not copyable.
class ScheduleReader {
 public:
  static constexpr std::size_t kChunkSize = 1023;
  // What peek() gives at the end of the chunk; after fill() that is the end of the file.
  static constexpr int kEnd = -1;

  ScheduleReader() = default;
  ScheduleReader(const ScheduleReader&) = delete;
  ScheduleReader& operator=(const ScheduleReader&) = delete;
  ~ScheduleReader() { close(); }

  // Opens `fileName` for binary reading. BAD_FILE_NAME for a null name, FILE_OPEN_FAILED when
  // it cannot be opened or names a directory. Reads nothing yet: call readChunk() next.
  ResultCode open(const char* fileName);
  // Takes its chunks from `text`, which must outlive the reader, instead of a file; the
  // chunks are those a file holding the same bytes would give. Reads nothing yet.
  void openText(std::string_view text);
  // Closes the file, if any, and forgets any text. The destructor does the same.
  void close();

  // Reads the rest of the open file into `text` (replacing its content), in the chunks
  // readChunk would take. BAD_FILE_POINTER when no file is open.
  ResultCode readAll(std::string& text);

  // Reads the next chunk of up to 1023 bytes and puts the cursor at its start; sets the
  // end-of-input flag when the chunk is short (nothing lies beyond it). BAD_FILE_POINTER
  // when no file is open.
  ResultCode readChunk();

  // Refills the buffer when the cursor stands at the end of the chunk and more input may
  // follow. Returns SUCCESS or the chunk read's error.
  ResultCode fill() {
    if (cursor_ == length_ && !endOfInput_) {
      return readChunk();
    }
    return SUCCESS;
  }
  // The byte at the cursor (0..255; zero bytes are ordinary bytes) or kEnd at the chunk end.
  int peek() const { return cursor_ < length_ ? buffer_[cursor_] : kEnd; }
  // Moves the cursor one byte on; does nothing at the end of the chunk.
  void advance() {
    if (cursor_ < length_) {
      ++cursor_;
    }
  }
  // True when the cursor stands at the end of the file.
  // Bytes of the input before the cursor.
  std::size_t offset() const { return before_ + cursor_; }
  bool atEndOfFile() const { return cursor_ == length_ && endOfInput_; }
  // True when the latest chunk was short: nothing of the file lies beyond the buffer.
  bool endOfInput() const { return endOfInput_; }

  // Moves the cursor to the next line feed, leaving it on it, or to the end of the file.
  ResultCode skipToLineFeed();

  // Reads one or two decimal digits into `value`. REJECTED_EVENT (75) when no digit stands at
  // the cursor (nothing consumed, `value` untouched), or when `exactlyTwo` is set and only one
  // digit follows (that digit is consumed and stored). A third digit stays in the text.
  ResultCode readNumber2(std::uint8_t& value, bool exactlyTwo);

  // Reads up to 25 letters, upper-cased, into `word`; stops before the first non-letter.
  // Letters beyond the 25th stay in the text.
  ResultCode readWord(Word& word);

  // Reads one data parameter list into `slot`, at its exact size: the items' bytes and a
  // terminating zero byte. Items are text in double quotes (with \" \\ \b \n \r \t escapes),
  // decimal numbers and h-prefixed hexadecimal numbers; a number below 256 takes one byte,
  // one up to 65535 two bytes high byte first, and a larger one is stored as 65535. Blanks
  // and commas between items are skipped. The list ends before ';', a line feed, a carriage
  // return, a tab or the end of the file; a digit 1..4 followed by ':' also ends it, consumed
  // and stored in `fieldLetter`, with the cursor left on the colon. BAD_DATA_PARAM (176) for
  // malformed text, MALLOC_FAILURE when the buffer cannot be had; `slot` keeps its old value
  // on failure.
  ResultCode readParams(ParamBuffer& slot, char& fieldLetter);

 private:
  std::FILE* file_ = nullptr;
  std::string_view text_;  // the rest of the text not yet taken, without a file
  bool fromText_ = false;
  std::array<std::uint8_t, kChunkSize> buffer_{};
  std::size_t length_ = 0;  // bytes of the file in the buffer
  std::size_t cursor_ = 0;
  std::size_t before_ = 0;  // bytes of the input in the chunks before the present one
  bool endOfInput_ = false;
};

// Sets `kind` to the event kind (51..59) whose keyword is `word` (upper case) and returns
// SUCCESS; BAD_EVENT, with `kind` untouched, when the word is no keyword.
ResultCode matchEventKeyword(std::string_view word, std::uint8_t& kind);

// The keyword of event kind `kind` (51..59); empty for any other value.
std::string_view EventKeyword(std::uint8_t kind);

}  // namespace quillmar::planprobe
