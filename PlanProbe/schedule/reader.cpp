// Schedule file reader: chunks, numbers, words and event keywords.
#include "schedule/reader.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/file_name.h"

namespace quillmar::planprobe {
namespace {

bool isDigit(int c) {
  return c >= '0' && c <= '9';
}

// Upper case for ASCII letters only, so bytes above 127 never become letters.
int toUpper(int c) {
  return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

}  // namespace

ResultCode ScheduleReader::open(const char* fileName) {
  close();
  if (fileName == nullptr) {
    return BAD_FILE_NAME;
  }
  // A directory opens on some systems but reads nothing; it is no schedule file.
  std::error_code error;
  if (std::filesystem::is_directory(platform::pathFromName(fileName), error)) {
    return FILE_OPEN_FAILED;
  }
  file_ = std::fopen(fileName, "rb");
  return file_ != nullptr ? SUCCESS : FILE_OPEN_FAILED;
}

void ScheduleReader::openText(std::string_view text) {
  close();
  text_ = text;
  fromText_ = true;
}

void ScheduleReader::close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  text_ = {};
  fromText_ = false;
  length_ = 0;
  cursor_ = 0;
  before_ = 0;
  endOfInput_ = false;
}

ResultCode ScheduleReader::readChunk() {
  before_ += length_;
  if (fromText_) {
    length_ = std::min(kChunkSize, text_.size());
    if (length_ > 0) {
      std::memcpy(buffer_.data(), text_.data(), length_);
    }
    text_.remove_prefix(length_);
  } else if (file_ != nullptr) {
    // A read error counts as the end of the file: the parse ends instead of spinning.
    length_ = std::fread(buffer_.data(), 1, kChunkSize, file_);
  } else {
    return BAD_FILE_POINTER;
  }
  endOfInput_ = length_ < kChunkSize;
  cursor_ = 0;
  return SUCCESS;
}

ResultCode ScheduleReader::readAll(std::string& text) {
  if (file_ == nullptr) {
    return BAD_FILE_POINTER;
  }
  text.clear();
  do {
    if (ResultCode rc = readChunk(); rc != SUCCESS) {
      return rc;
    }
    text.append(reinterpret_cast<const char*>(buffer_.data()), length_);
  } while (!endOfInput_);
  return SUCCESS;
}

ResultCode ScheduleReader::skipToLineFeed() {
  for (;;) {
    if (ResultCode rc = fill(); rc != SUCCESS) {
      return rc;
    }
    const int c = peek();
    if (c == kEnd || c == '\n') {
      return SUCCESS;
    }
    advance();
  }
}

ResultCode ScheduleReader::readNumber2(std::uint8_t& value, bool exactlyTwo) {
  if (ResultCode rc = fill(); rc != SUCCESS) {
    return rc;
  }
  if (!isDigit(peek())) {
    return REJECTED_EVENT;
  }
  value = static_cast<std::uint8_t>(peek() - '0');
  advance();
  if (ResultCode rc = fill(); rc != SUCCESS) {
    return rc;
  }
  if (isDigit(peek())) {
    value = static_cast<std::uint8_t>(value * 10 + (peek() - '0'));
    advance();
  } else if (exactlyTwo) {
    return REJECTED_EVENT;
  }
  return fill();
}

ResultCode ScheduleReader::readWord(Word& word) {
  word.letters.fill('\0');
  for (std::size_t i = 0; i < Word::kMaxLetters; ++i) {
    if (ResultCode rc = fill(); rc != SUCCESS) {
      return rc;
    }
    const int c = toUpper(peek());
    if (c < 'A' || c > 'Z') {
      break;
    }
    word.letters[i] = static_cast<char>(c);
    advance();
  }
  return SUCCESS;
}

namespace {

// The "E:" keywords of the kinds SENDSTRING (51) to DEFAULTWEBPAGE (59), in code order.
constexpr std::string_view kKeywords[] = {"SENDSTRING", "STARTSEQUENCE", "STOP",
                                          "RESET",      "PAUSE",         "SETVAREQ",
                                          "ON",         "OFF",           "DEFAULTWEBPAGE"};

}  // namespace

std::string_view EventKeyword(std::uint8_t kind) {
  const std::size_t index = static_cast<std::size_t>(kind) - SENDSTRING;
  return kind >= SENDSTRING && index < std::size(kKeywords) ? kKeywords[index] : "";
}

ResultCode matchEventKeyword(std::string_view word, std::uint8_t& kind) {
  for (std::uint8_t i = 0; i < std::size(kKeywords); ++i) {
    if (word == kKeywords[i]) {
      kind = static_cast<std::uint8_t>(SENDSTRING + i);
      return SUCCESS;
    }
  }
  return BAD_EVENT;
}

}  // namespace quillmar::planprobe
