// One version of an open schedule, as planprobe sees it: the syntax analysis of its text, at
// once, and then its simulation over the span, a day at a time, so that the server can answer
// the editor between two steps.
//
// Everything a run needs is its own: the clock, the boot state, the event list, the parse and
// a log that keeps nothing. The text comes from the editor; no file is read or written.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "insight/run_summary.h"
#include "rules/minute_outcome.h"
#include "rules/sim_clock.h"
#include "schedule/event_list.h"
#include "schedule/parser.h"
#include "server/run_settings.h"
#include "session/quiet_unit.h"
#include "session/simulation.h"

namespace quillmar::planprobe {

// A minute in which a line won and its command was executed.
struct LineRun {
  SimMoment when;
  std::string command;  // as the log writes it after the start-time mark, on one line
};

// Keeps the first few runs of every line, as the log numbers it.
class FirstRuns final : public MinuteObserver {
 public:
  static constexpr size_t kKept = 5;

  void dayStarted(const SimMoment&) override {}
  void minuteSettled(const MinuteOutcome& outcome) override;
  // The first runs of the line the log numbers `line`; empty when it never ran.
  const std::vector<LineRun>& of(uint32_t line) const;

 private:
  std::unordered_map<uint32_t, std::vector<LineRun>> runs_;
};

// A parsed line of the schedule with the analysis's finding for it.
struct LineAtPlace {
  const ParsedLine* parsed;
  const Finding* finding;  // null when the analysis reported nothing for the line
};

class ScheduleRun {
 public:
  // Analyses `text` at once; the simulation waits for step().
  ScheduleRun(std::string text, const RunSettings& settings);
  ScheduleRun(const ScheduleRun&) = delete;
  ScheduleRun& operator=(const ScheduleRun&) = delete;

  // The analysis's reports that name a line, as --diagnostics gives them.
  const std::vector<Finding>& findings() const { return findings_; }
  const ParsedSchedule& parsed() const { return *unit_.cache.parsed; }
  const std::string& text() const { return unit_.cache.text; }
  const RunSettings& settings() const { return settings_; }
  // The parsed line that begins on physical line `line` (1-based, as an editor counts);
  // nothing when none does (a blank or comment line, or one that continues a quoted text).
  std::optional<LineAtPlace> lineOn(uint32_t line) const;
  // The physical line where the line the log numbers `line` begins; 0 for none.
  uint32_t physicalLine(uint32_t line) const {
    return line < physical_.size() ? physical_[line] : 0;
  }

  // Runs the simulation on to the next change of date at most; false once it is over (at once
  // when the analysis failed as a whole).
  bool step();
  bool finished() const { return !simulation_; }

  // What the run did so far, complete once finished(); null when the analysis failed.
  const RunSummary* summary() const { return summary_ ? &*summary_ : nullptr; }
  const FirstRuns& firstRuns() const { return firstRuns_; }

 private:
  RunSettings settings_;
  QuietUnit unit_;
  std::vector<Finding> findings_;
  std::vector<uint32_t> physical_;         // by the log's line number (PhysicalLineNumbers)
  std::vector<int32_t> parsedByPhysical_;  // physical line -> index into the parse, -1 for none
  std::optional<RunSummary> summary_;
  FirstRuns firstRuns_;
  std::array<MinuteObserver*, 2> observers_{};
  std::optional<Simulation> simulation_;
};

}  // namespace quillmar::planprobe
