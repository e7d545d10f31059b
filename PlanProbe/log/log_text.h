// Small number formatting for the lines the minute loop writes most often, without the cost
// of a printf-style call per line.
#pragma once

#include <string_view>

#include "log/results_log.h"

namespace quillmar::planprobe {

// A short line piece built up in place; never longer than its capacity allows.
class LogText {
 public:
  LogText& text(std::string_view piece);
  // The value as printf's "%02i" writes it.
  LogText& twoDigits(int value);
  // The value as printf's "%i" writes it.
  LogText& number(int value);
  // Appends the piece to `log` (its line feeds become CR LF there).
  void writeTo(ResultsLog& log) const { log.write(std::string_view(buffer_, size_)); }

 private:
  char buffer_[96];
  size_t size_ = 0;
};

// Writes the minute stamp "\n%02i:%02i " that opens each executed minute, for any values.
void writeAnyMinuteStamp(ResultsLog& log, int hour, int minute);

// writeAnyMinuteStamp, inline for the clock's own range: it opens every minute that writes.
inline void writeMinuteStamp(ResultsLog& log, int hour, int minute) {
  if (hour < 0 || hour > 99 || minute < 0 || minute > 99) {
    writeAnyMinuteStamp(log, hour, minute);
    return;
  }
  const char stamp[] = {'\r',
                        '\n',
                        static_cast<char>('0' + hour / 10),
                        static_cast<char>('0' + hour % 10),
                        ':',
                        static_cast<char>('0' + minute / 10),
                        static_cast<char>('0' + minute % 10),
                        ' '};
  log.writeRaw(std::string_view(stamp, sizeof stamp));
}

}  // namespace quillmar::planprobe
