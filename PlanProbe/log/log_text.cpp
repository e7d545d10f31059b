#include "log/log_text.h"

#include <charconv>
#include <cstring>

namespace quillmar::planprobe {

LogText& LogText::text(std::string_view piece) {
  const size_t room = sizeof buffer_ - size_;
  const size_t count = piece.size() < room ? piece.size() : room;
  std::memcpy(buffer_ + size_, piece.data(), count);
  size_ += count;
  return *this;
}

LogText& LogText::twoDigits(int value) {
  if (value >= 0 && value < 10) {
    return text("0").number(value);
  }
  return number(value);
}

LogText& LogText::number(int value) {
  const std::to_chars_result result =
      std::to_chars(buffer_ + size_, buffer_ + sizeof buffer_, value);
  if (result.ec == std::errc()) {
    size_ = static_cast<size_t>(result.ptr - buffer_);
  }
  return *this;
}

void writeAnyMinuteStamp(ResultsLog& log, int hour, int minute) {
  LogText().text("\n").twoDigits(hour).text(":").twoDigits(minute).text(" ").writeTo(log);
}

}  // namespace quillmar::planprobe
