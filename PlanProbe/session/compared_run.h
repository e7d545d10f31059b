// The run of the schedule an edit started from, for --compare: simulated beside the session's
// own run over the same span, with the same options and site, into a log that keeps nothing.
// It watches only the commands it executes.
#pragma once

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>

#include "insight/command_changes.h"
#include "log/results_log.h"
#include "rules/sim_clock.h"
#include "schedule/event_list.h"
#include "schedule/parser.h"
#include "session/clock_host.h"
#include "session/command_line.h"
#include "session/console.h"
#include "session/quiet_unit.h"
#include "session/simulation.h"

namespace quillmar::planprobe {

class ComparedRun {
 public:
  // The run of `oldPath` with `options` otherwise, from the clock `start`, which the session's
  // own run has not moved yet.
  // `commands` numbers the commands for both runs.
  ComparedRun(const SessionOptions& options, const std::string& oldPath, const SimClock& start,
              LoggedCommands& commands);
  ComparedRun(const ComparedRun&) = delete;
  ComparedRun& operator=(const ComparedRun&) = delete;

  // The syntax analysis of the old schedule, as its own run would do it; false when the file
  // cannot be read or the parse fails.
  bool analyse();
  // The run, ready to step once analyse() has succeeded.
  Simulation& simulation() { return *simulation_; }
  CommandTrail& trail() { return trail_; }
  // True when the old schedule could no longer be read at a daily load.
  bool lostItsFile() const { return lostItsFile_; }

 private:
  SessionOptions options_;
  QuietUnit unit_;
  CommandTrail trail_;
  std::array<MinuteObserver*, 1> observers_{&trail_};
  std::optional<Simulation> simulation_;
  bool lostItsFile_ = false;
};

// By command text, the first line of `valid` (the analysis's events) that runs it.
std::unordered_map<std::string, uint32_t> LinesByCommand(const EventList& valid);

// Runs `newer` (whose commands `newTrail` watches) and `older` side by side to their ends,
// the one behind first, comparing what both have passed as they go.
void RunSideBySide(Simulation& newer, CommandTrail& newTrail, ComparedRun& older,
                   CommandComparison& comparison);

}  // namespace quillmar::planprobe
