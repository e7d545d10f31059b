#include "assist/completion.h"

#include <algorithm>

#include "assist/line_fields.h"
#include "schedule/reader.h"
#include "schedule/repeat_period.h"
#include "schedule/schedule_event.h"
#include "schedule/time_words.h"

namespace quillmar::planprobe {
namespace {

// `text` in upper case (ASCII letters only).
std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return out;
}

// True for the letters and digits a typed word is made of.
bool isWordCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The offers of one place: the part typed so far and where it begins.
class Offers {
 public:
  Offers(std::string_view typed, size_t from) : typed_(upper(typed)), from_(from) {}

  // Offers `label` when it begins with what has been typed.
  void add(std::string_view label, CompletionKind kind, std::string detail) {
    if (upper(label).starts_with(typed_)) {
      items_.push_back({std::string(label), kind, std::move(detail), std::string(label), from_});
    }
  }
  // The tags of kFieldTags: only the data parameters' when `paramsOnly`.
  void addTags(bool paramsOnly) {
    for (const FieldTag& tag : kFieldTags) {
      if (!paramsOnly || tag.value == FieldValue::Param) {
        add(std::string(1, tag.letter) + ":", CompletionKind::Tag, std::string(tag.name));
      }
    }
  }
  // The offers made, in the order they were added.
  std::vector<CompletionItem> take() { return std::move(items_); }

 private:
  std::string typed_;
  size_t from_;
  std::vector<CompletionItem> items_;
};

// The words of a field's value, by what the field holds.
void addValueWords(const FieldTag& tag, Offers& offers) {
  const std::string field = std::string(tag.name) + ": ";
  switch (tag.value) {
    case FieldValue::Event:
      for (uint8_t kind = SENDSTRING; kind < SENDSTRING + kKindCount; ++kind) {
        offers.add(EventKeyword(kind), CompletionKind::EventKeyword, std::string(tag.name));
      }
      return;
    case FieldValue::Period:
      for (const PeriodDescription& p : kPeriods) {
        offers.add(upper(p.name), CompletionKind::Period, field + std::string(p.name));
        if (p.rule == PeriodRule::Weekday) {  // the short forms everybody writes
          offers.add(p.word.text, CompletionKind::Period, field + std::string(p.name));
        }
      }
      return;
    case FieldValue::Set:
      for (const SetDescription& s : kSets) {
        offers.add(upper(s.name), CompletionKind::Set, field + std::string(s.name));
        if (s.code != SET_MONTH) {
          offers.add(s.word.text, CompletionKind::Set, field + std::string(s.name));
        }
      }
      return;
    case FieldValue::StartTime:
    case FieldValue::EndTime:
      for (const TimeWord& w : kTimeWords) {
        if (tag.value == FieldValue::StartTime || !w.startOnly) {
          offers.add(w.word, CompletionKind::TimeWord, field + std::string(w.name));
        }
      }
      return;
    default:
      return;
  }
}

// Where the word that ends at `offset` begins, not before `from`.
size_t wordStart(std::string_view text, size_t from, size_t offset) {
  size_t at = offset;
  while (at > from && isWordCharacter(text[at - 1])) {
    --at;
  }
  return at;
}

}  // namespace

std::vector<CompletionItem> CompletionsAt(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  size_t lineStart = 0;
  const LineReading reading = ReadUpTo(text, offset, lineStart);
  if (reading.state == LineEnd::Between) {
    const size_t from = wordStart(text, lineStart, offset);
    if (from > lineStart && text[from - 1] != ' ' && text[from - 1] != '\t') {
      return {};
    }
    Offers offers(text.substr(from, offset - from), from);
    offers.addTags(false);
    return offers.take();
  }
  if (reading.state != LineEnd::InValue) {
    return {};
  }
  const FieldSpan& field = reading.fields.back();
  if (field.tag->value == FieldValue::Param) {
    const size_t from = wordStart(text, field.valueFrom, offset);
    if (from == field.valueFrom || (text[from - 1] != ' ' && text[from - 1] != ',')) {
      return {};
    }
    Offers offers(text.substr(from, offset - from), from);
    offers.addTags(true);
    return offers.take();
  }
  Offers offers(text.substr(field.valueFrom, offset - field.valueFrom), field.valueFrom);
  addValueWords(*field.tag, offers);
  return offers.take();
}

}  // namespace quillmar::planprobe
