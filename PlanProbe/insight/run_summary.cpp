#include "insight/run_summary.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <set>

#include "schedule/reader.h"

namespace quillmar::planprobe {

namespace {

constexpr size_t kShortText = 18;  // characters of a text parameter the summary shows

// Kinds whose first parameter is text rather than a number.
bool hasTextParam(uint8_t kind) {
  return kind == SENDSTRING || kind == DEFAULTWEBPAGE;
}

// `value` with at least two digits.
std::string twoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

}  // namespace

std::string EventInShort(const ScheduleEvent& event) {
  std::string what(EventKeyword(event.kind));
  if (what.empty()) {
    what = "(no event)";
  }
  const ParamBuffer& param = event.params[0];
  if (param.empty()) {
    return what;
  }
  if (!hasTextParam(event.kind)) {
    return what + " " + std::to_string(param[0]);
  }
  std::string text;
  for (size_t i = 0; i + 1 < param.size() && param[i] != 0; ++i) {
    if (text.size() == kShortText) {
      text += "...";
      break;
    }
    if (param[i] == '"' || param[i] == '\\') {
      text += '\\';  // as the schedule writes it
    }
    text += param[i] >= 0x20 && param[i] < 0x7F ? static_cast<char>(param[i]) : '.';
  }
  return what + " \"" + text + "\"";
}

std::string DateText(const SimMoment& when) {
  return std::to_string(2000 + when.year) + "-" + twoDigits(when.month) + "-" + twoDigits(when.day);
}

std::string MomentText(const SimMoment& when) {
  return DateText(when) + " " + twoDigits(when.hour) + ":" + twoDigits(when.minute);
}

RunSummary::RunSummary(const EventList& valid, const std::vector<Finding>& findings,
                       const std::vector<uint32_t>& physicalLines, bool minutesRun)
    : minutesRun_(minutesRun) {
  std::set<uint32_t> validLines;
  for (const ScheduleEvent& event : valid) {
    if (indexByLine_.size() <= event.line) {
      indexByLine_.resize(event.line + 1, -1);
    }
    indexByLine_[event.line] = static_cast<int32_t>(lines_.size());
    LineStats stats;
    const bool known = event.line < physicalLines.size() && physicalLines[event.line] != 0;
    stats.line = known ? physicalLines[event.line] : event.line;
    stats.kind = event.kind;
    stats.what = EventInShort(event);
    lines_.push_back(std::move(stats));
    validLines.insert(event.line);
  }
  lossesTo_.resize(lines_.size());
  std::set<uint32_t> faulty;
  for (const Finding& finding : findings) {
    if (validLines.count(finding.line) == 0) {
      faulty.insert(finding.line);
    }
  }
  faultyLines_ = faulty.size();
}

void RunSummary::dayStarted(const SimMoment& when) {
  if (lastDay_ && when.year < lastDay_->year) {
    rolledOver_ = true;
  }
  if (!firstDay_) {
    firstDay_ = when;
  }
  lastDay_ = when;
  ++days_;
}

std::optional<size_t> RunSummary::indexOf(uint32_t line) const {
  if (line >= indexByLine_.size() || indexByLine_[line] < 0) {
    return std::nullopt;
  }
  return static_cast<size_t>(indexByLine_[line]);
}

LineStats* RunSummary::statsOf(uint32_t line) {
  const std::optional<size_t> index = indexOf(line);
  return index ? &lines_[*index] : nullptr;
}

void RunSummary::minuteSettled(const MinuteOutcome& outcome) {
  if (outcome.winner == nullptr) {
    if (unknownMinutes_++ == 0) {
      firstUnknown_ = outcome.when;
    }
    return;
  }
  LineStats* winner = statsOf(outcome.winner->line);
  if (winner == nullptr) {
    return;
  }
  ++winner->runs;
  if (!winner->firstRun) {
    winner->firstRun = outcome.when;
  }
  winner->lastRun = outcome.when;
  for (const ScheduleEvent* event : outcome.due) {
    LineStats* loser = event == outcome.winner ? nullptr : statsOf(event->line);
    if (loser != nullptr) {
      noteLoss(*loser, winner->line);
    }
  }
}

void RunSummary::commandChanged(const CommandChange& change) {
  LineStats* stats = statsOf(change.line);
  if (stats == nullptr) {
    goneElsewhere_ += change.added ? 0 : 1;
    return;
  }
  (change.added ? stats->added : stats->gone) += 1;
}

void RunSummary::noteLoss(LineStats& loser, uint32_t winnerLine) {
  ++loser.losses;
  auto& counts = lossesTo_[static_cast<size_t>(&loser - lines_.data())];
  auto it = std::find_if(counts.begin(), counts.end(),
                         [winnerLine](const auto& count) { return count.first == winnerLine; });
  if (it == counts.end()) {
    it = counts.insert(counts.end(), {winnerLine, 0});
  }
  const uint64_t now = ++it->second;
  const auto best = std::find_if(counts.begin(), counts.end(), [&loser](const auto& count) {
    return count.first == loser.lostTo;
  });
  if (best == counts.end() || now > best->second) {
    loser.lostTo = winnerLine;
  }
}

std::vector<std::string> RunSummary::warnings() const {
  std::vector<std::string> out;
  if (days_ > 0 && !minutesRun_) {
    out.push_back("only the daily loads were simulated (-l): no minute was executed");
  } else if (days_ > 0) {
    for (size_t i = 0; i < lines_.size(); ++i) {
      const LineStats& s = lines_[i];
      if (s.runs == 0 && s.losses == 0) {
        out.push_back("line " + std::to_string(s.line) + " (" + s.what + ") " +
                      std::string(kNeverRan));
      } else if (s.runs == 0) {
        out.push_back("line " + std::to_string(s.line) + " (" + s.what + ") " +
                      std::string(kNeverWon));
      }
    }
  }
  if (unknownMinutes_ > 0) {
    out.push_back(std::to_string(unknownMinutes_) +
                  " minute(s) wrote \"Unknown Event Type\" (no precedence between due events), "
                  "the first on " +
                  MomentText(*firstUnknown_));
  }
  if (goneElsewhere_ > 0) {
    out.push_back(std::to_string(goneElsewhere_) +
                  " command(s) of the old schedule are gone with lines that no line of this "
                  "schedule replaces");
  }
  if (rolledOver_) {
    out.push_back("the span runs past 2099-12-31: the two-digit year rolls over to 00 (2000)");
  }
  return out;
}

void RunSummary::print(std::ostream& out) const {
  char row[256];
  out << "\nSummary\n-------\n";
  std::snprintf(row, sizeof row, "%zu valid line(s), %zu faulty line(s)", lines_.size(),
                faultyLines_);
  out << row;
  if (firstDay_) {
    out << "; simulated " << days_ << " day(s), " << DateText(*firstDay_) << " to "
        << DateText(*lastDay_);
  }
  out << "\n\n";
  // The new and gone counts stand after "lost to" when the run was compared.
  const auto changes = [this, &row, &out](const std::string& added, const std::string& gone) {
    if (changesShown_) {
      std::snprintf(row, sizeof row, " %9s %9s", added.c_str(), gone.c_str());
      out << row;
    }
  };
  std::snprintf(row, sizeof row, "%5s  %-30s %9s %9s %7s", "line", "event", "runs", "lost",
                "lost to");
  out << row;
  changes("new", "gone");
  std::snprintf(row, sizeof row, "  %-16s  %s\n", "first run", "last run");
  out << row;
  for (const LineStats& s : lines_) {
    const std::string what = s.what.size() > 30 ? s.what.substr(0, 27) + "..." : s.what;
    std::snprintf(row, sizeof row, "%5u  %-30s %9llu %9llu %7s", s.line, what.c_str(),
                  static_cast<unsigned long long>(s.runs),
                  static_cast<unsigned long long>(s.losses),
                  s.lostTo == 0 ? "-" : std::to_string(s.lostTo).c_str());
    out << row;
    changes(std::to_string(s.added), std::to_string(s.gone));
    std::snprintf(row, sizeof row, "  %-16s  %s\n",
                  s.firstRun ? MomentText(*s.firstRun).c_str() : "-",
                  s.lastRun ? MomentText(*s.lastRun).c_str() : "-");
    out << row;
  }
  const std::vector<std::string> notes = warnings();
  if (!notes.empty()) {
    out << "\nWarnings:\n";
    for (const std::string& note : notes) {
      out << "  - " << note << "\n";
    }
  }
}

}  // namespace quillmar::planprobe
