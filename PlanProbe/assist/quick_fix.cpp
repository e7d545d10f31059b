#include "assist/quick_fix.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "assist/line_fields.h"
#include "schedule/reader.h"
#include "schedule/schedule_fields.h"

namespace quillmar::planprobe {
namespace {

// True for the digits 0 to 9.
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The value of a field as written: from its colon to the next blank, tab, ';' or line end.
std::string_view writtenValue(std::string_view text, const FieldSpan& field) {
  const std::string_view rest = text.substr(field.valueFrom);
  return rest.substr(0, std::min(rest.size(), rest.find_first_of(" \t;\r\n")));
}

// The digit groups of `value` and the single characters between them; false when anything
// else stands there, or a group has more digits than a four-digit year.
bool splitNumbers(std::string_view value, std::vector<std::string_view>& numbers,
                  std::string& between) {
  constexpr size_t kLongest = 4;
  numbers.clear();
  between.clear();
  size_t at = 0;
  while (at < value.size()) {
    const size_t from = at;
    while (at < value.size() && isDigit(value[at])) {
      ++at;
    }
    if (at == from || at - from > kLongest) {
      return false;
    }
    numbers.push_back(value.substr(from, at - from));
    if (at < value.size()) {
      between.push_back(value[at++]);
      if (at == value.size()) {
        return false;
      }
    }
  }
  return true;
}

// A mender: the mend of the faulty `field`, if it has a certain one.
using Mender = std::optional<TextMend> (*)(std::string_view text, const FieldSpan& field);

// Hour and minute as hh:mm, from "h:m", "h.mm", "h-mm", "h,mm" or "hhmm".
std::optional<TextMend> mendTime(std::string_view text, const FieldSpan& field) {
  const std::string_view value = writtenValue(text, field);
  std::vector<std::string_view> numbers;
  std::string between;
  if (!splitNumbers(value, numbers, between)) {
    return std::nullopt;
  }
  int hour = 0;
  int minute = 0;
  if (numbers.size() == 1 && numbers[0].size() == 4) {
    hour = std::stoi(std::string(numbers[0].substr(0, 2)));
    minute = std::stoi(std::string(numbers[0].substr(2)));
  } else if (numbers.size() == 2 && numbers[0].size() <= 2 && numbers[1].size() <= 2 &&
             between.find_first_not_of(":.-,") == std::string::npos) {
    hour = std::stoi(std::string(numbers[0]));
    minute = std::stoi(std::string(numbers[1]));
  } else {
    return std::nullopt;
  }
  char mended[8];
  std::snprintf(mended, sizeof mended, "%02d:%02d", hour % 100, minute % 100);
  return TextMend{"Write the " + std::string(field.tag->name) + " as " + mended, field.valueFrom,
                  field.valueFrom + value.size(), mended};
}

// The blanks after the colon removed.
std::optional<TextMend> mendBlanks(std::string_view text, const FieldSpan& field) {
  const size_t value = text.find_first_not_of(' ', field.valueFrom);
  if (value == field.valueFrom || value == std::string_view::npos) {
    return std::nullopt;
  }
  return TextMend{"Remove the blank after " + std::string(1, field.tag->letter) + ":",
                  field.valueFrom, value, ""};
}

// A date's numbers that stand apart by blanks or commas, joined by dots.
std::optional<TextMend> mendDate(std::string_view text, const FieldSpan& field) {
  // The date ends before the next field's tag, the blank before it left out.
  const std::string_view rest = text.substr(field.valueFrom);
  std::string_view value = rest.substr(0, rest.find_first_not_of("0123456789 ,./-"));
  value = value.substr(0, value.find_last_of("0123456789") + 1);
  std::vector<std::string_view> numbers;
  std::string between;
  if (!splitNumbers(value, numbers, between) || numbers.size() != 3 ||
      between.find_first_of(" ,") == std::string::npos) {
    return std::nullopt;
  }
  const std::string mended =
      std::string(numbers[0]) + "." + std::string(numbers[1]) + "." + std::string(numbers[2]);
  return TextMend{"Write the " + std::string(field.tag->name) + " as " + mended, field.valueFrom,
                  field.valueFrom + value.size(), mended};
}

// The menders of each code, tried in their order.
struct MendRow {
  ResultCode code;
  Mender mend;
};

constexpr MendRow kMends[] = {
    {BAD_STARTMIN, mendTime},     {BAD_STARTTIME, mendTime},   {BAD_ENDMIN, mendTime},
    {BAD_ENDTIME, mendTime},      {BAD_STARTHOUR, mendBlanks}, {BAD_ENDHOUR, mendBlanks},
    {BAD_STARTMONTH, mendBlanks}, {BAD_ENDMONTH, mendBlanks},  {BAD_PERIOD, mendBlanks},
    {BAD_SET, mendBlanks},        {BAD_EVENT, mendBlanks},     {BAD_STARTDATE, mendDate},
    {BAD_ENDDATE, mendDate},
};

// True when the field's reader takes the mended value whole and without a complaint.
bool readerAccepts(std::string_view text, const FieldSpan& field, const TextMend& mend) {
  const size_t lineEnd = std::min(text.size(), text.find('\n', mend.to));
  const std::string mended =
      ":" + std::string(text.substr(field.valueFrom, mend.from - field.valueFrom)) +
      mend.replacement + std::string(text.substr(mend.to, lineEnd - mend.to));
  ScheduleReader reader;
  reader.openText(mended);
  reader.readChunk();
  ScheduleEvent event;
  std::array<TimeWords, 2> times;
  char letter = field.tag->letter;
  const ResultCode rc = readFieldValue(*field.tag, reader, event, times, letter);
  const size_t mendedEnd = 1 + (mend.from - field.valueFrom) + mend.replacement.size();
  return !isFailure(rc) && reader.offset() >= mendedEnd;
}

}  // namespace

std::optional<TextMend> MendFor(std::string_view text, const Finding& finding) {
  if (finding.start >= text.size()) {
    return std::nullopt;
  }
  const LineReading reading = ReadLine(text, finding.start);
  for (const FieldSpan& field : reading.fields) {
    if (field.tagAt != finding.at || field.result != finding.code) {
      continue;
    }
    for (const MendRow& row : kMends) {
      if (row.code != finding.code) {
        continue;
      }
      if (std::optional<TextMend> mend = row.mend(text, field);
          mend && readerAccepts(text, field, *mend)) {
        return mend;
      }
    }
  }
  return std::nullopt;
}

}  // namespace quillmar::planprobe
