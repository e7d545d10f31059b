// One run of planprobe: the command line, the results log, the syntax analysis and the
// simulation, with all the state they share.
//
// session/ is the top of planprobe: the driver, the command line, the console, the minute loop
// and the device command log. It may use every folder below it (rules/, schedule/, calendar/,
// log/); none of them uses it.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <vector>

#include "insight/command_changes.h"
#include "insight/run_summary.h"
#include "insight/timeline_page.h"
#include "log/results_log.h"
#include "rules/sim_clock.h"
#include "schedule/event_list.h"
#include "schedule/parser.h"
#include "session/clock_host.h"
#include "session/command_line.h"
#include "session/console.h"
#include "session/simulation.h"

namespace quillmar::planprobe {

class Session {
 public:
  // `console` receives everything the program shows; `waitForKey` waits for one key press;
  // `errors` receives the diagnostics (the console when null).
  Session(std::ostream& console, std::function<void()> waitForKey, std::ostream* errors = nullptr)
      : console_(console),
        waitForKey_(std::move(waitForKey)),
        errors_(errors ? *errors : console) {}

  // Runs the whole session over `args` (the arguments after the program name) and returns
  // the exit status.
  int run(std::span<const char* const> args);

  const SessionOptions& options() const { return options_; }
  const SimClock& clock() const { return clock_; }
  const BootState& boot() const { return boot_; }
  const EventList& events() const { return events_; }
  // The run summary; present when --summary or --timeline asked for it.
  const std::optional<RunSummary>& summary() const { return summary_; }

 private:
  // False, after saying so, when the log would be the schedule file itself.
  bool logIsNotSchedule();
  // False, after saying so, when the timeline page would be the schedule, the old schedule
  // (--compare) or the log.
  bool pageIsItsOwnFile();
  // False, after saying so, when the old schedule of --compare cannot be read or is the log.
  bool oldScheduleReadable();
  bool openLog();
  void writeLogHeader();
  int runAnalysis();
  // The minute loop over the simulated span (simulation.cpp), beside the old schedule's run
  // with --compare.
  void RunSimulation();
  // Runs `setup`'s simulation beside the old schedule's run, comparing their commands.
  void runCompared(SimulationSetup& setup);
  int close();
  // Writes what the analysis found to the diagnostics stream, and gets the summary and the
  // timeline ready to watch the run, as the options ask.
  void startInsight();
  // Shows the summary and writes the timeline page, as the options ask, and applies --strict
  // to the exit status `status`.
  int finishInsight(int status);

  Console console_;
  std::function<void()> waitForKey_;
  std::ostream& errors_;
  SessionOptions options_;
  SimClock clock_;
  BootState boot_;
  EventList events_;
  ScheduleCache scheduleCache_;  // the schedule text and its parse, kept between reloads
  ResultsLog log_;
  ClockHost host_{clock_, boot_, log_};  // the parser's view of the clock and boot state
  uint32_t initialSpan_ = 0;
  std::vector<Finding> findings_;  // the syntax analysis's reports that name a line
  std::optional<RunSummary> summary_;
  std::optional<TimelinePage> timeline_;
  std::vector<MinuteObserver*> observers_;       // none unless --summary, --timeline or --compare
  std::optional<CommandComparison> comparison_;  // with --compare
  std::vector<ChangeListener*> listeners_;       // the summary and the page, when asked for
  bool comparisonFailed_ = false;                // a run ended for a file it could not read
};

// The program's entry: runs one session over the command line (argv[0] is the program name).
// `errors` receives the diagnostics (the console when null).
int RunSession(int argc, const char* const argv[], std::ostream& console,
               std::function<void()> waitForKey, std::ostream* errors = nullptr);

}  // namespace quillmar::planprobe
