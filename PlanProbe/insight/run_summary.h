// The run summary: per valid schedule line how often it ran and lost, and the warnings a person
// who writes schedules should act on.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "insight/command_changes.h"
#include "rules/minute_outcome.h"
#include "schedule/event_list.h"
#include "schedule/parser.h"

namespace quillmar::planprobe {

// What one valid schedule line did in the run.
struct LineStats {
  uint32_t line = 0;  // the physical line where it begins, as an editor counts
  uint8_t kind = 0;
  std::string what;     // the event and its first parameter, in short
  uint64_t runs = 0;    // minutes it won (and so was executed)
  uint64_t losses = 0;  // minutes it was due but another line won
  uint32_t lostTo = 0;  // the (physical) line it lost to most often; 0 when it never lost
  std::optional<SimMoment> firstRun;
  std::optional<SimMoment> lastRun;
  uint64_t added = 0;  // with --compare: its commands that the old schedule does not run then
  uint64_t gone = 0;   // and those of the old schedule's that it no longer runs then
};

class RunSummary final : public MinuteObserver, public ChangeListener {
 public:
  // `valid` is the analysis's list of valid events, `findings` its reports; both are read now.
  // `physicalLines` gives, by the log's line number, the physical line where that line begins
  // (PhysicalLineNumbers); a number it lacks is shown as it is. `minutesRun` is false when the
  // run executes no minutes (daily loads only).
  RunSummary(const EventList& valid, const std::vector<Finding>& findings,
             const std::vector<uint32_t>& physicalLines = {}, bool minutesRun = true);

  void dayStarted(const SimMoment& when) override;
  void minuteSettled(const MinuteOutcome& outcome) override;
  // Counts the changes against the old schedule per line, and shows them from now on.
  void showChanges() { changesShown_ = true; }
  void commandChanged(const CommandChange& change) override;
  // Gone commands that no line of the new schedule runs any more.
  uint64_t goneElsewhere() const { return goneElsewhere_; }

  const std::vector<LineStats>& lines() const { return lines_; }
  // Where the line the log numbers `line` stands in lines(); nothing for a line not listed.
  std::optional<size_t> indexOf(uint32_t line) const;
  // The (physical) lines that lines()[index] lost to, with how often, in the order first lost.
  const std::vector<std::pair<uint32_t, uint64_t>>& lossesTo(size_t index) const {
    return lossesTo_[index];
  }
  size_t validLines() const { return lines_.size(); }
  size_t faultyLines() const { return faultyLines_; }
  // Days of the simulation; 0 when none ran (analysis only, or a span of 0).
  uint64_t days() const { return days_; }
  std::optional<SimMoment> firstDay() const { return firstDay_; }
  std::optional<SimMoment> lastDay() const { return lastDay_; }
  // True when the two-digit year ran from 99 over to 00.
  bool yearRolledOver() const { return rolledOver_; }
  uint64_t unknownMinutes() const { return unknownMinutes_; }
  std::optional<SimMoment> firstUnknown() const { return firstUnknown_; }
  // The warnings, one sentence each, in the order the summary shows them.
  std::vector<std::string> warnings() const;

  // Writes the summary as aligned text, readable at 100 columns.
  void print(std::ostream& out) const;

 private:
  // The stats of the line the log numbers `line`; null for a line that is not listed.
  LineStats* statsOf(uint32_t line);
  // Counts a loss of `loser` to the line `winnerLine` and keeps the line it lost to most often.
  void noteLoss(LineStats& loser, uint32_t winnerLine);

  std::vector<LineStats> lines_;
  std::vector<int32_t> indexByLine_;  // line number -> index into lines_, -1 for none
  // Per line: the lines it lost to, with how often.
  std::vector<std::vector<std::pair<uint32_t, uint64_t>>> lossesTo_;
  size_t faultyLines_ = 0;
  bool minutesRun_;
  uint64_t days_ = 0;
  std::optional<SimMoment> firstDay_;
  std::optional<SimMoment> lastDay_;
  bool rolledOver_ = false;
  uint64_t unknownMinutes_ = 0;
  std::optional<SimMoment> firstUnknown_;
  bool changesShown_ = false;
  uint64_t goneElsewhere_ = 0;
};

// What the warnings say of a line that never ran and of one that never won its minute.
inline constexpr std::string_view kNeverRan = "never ran in the simulated span";
inline constexpr std::string_view kNeverWon = "was due but never won its minute";

// The event's keyword and its first parameter, a text shortened and with unprintable bytes as
// '.': `ON 1`, `SENDSTRING "PING"`.
std::string EventInShort(const ScheduleEvent& event);

// "YYYY-MM-DD HH:MM" and "YYYY-MM-DD": one order, which no reader can take the wrong way round.
std::string MomentText(const SimMoment& when);
std::string DateText(const SimMoment& when);

}  // namespace quillmar::planprobe
