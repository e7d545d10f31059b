// Runs the minute loop inside a test over events built in memory, either by the fast loop or
// by the plain minute-by-minute loop kept here as the reference.
#pragma once

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "log/results_log.h"
#include "rules/sim_clock.h"
#include "schedule/event_list.h"
#include "schedule/schedule_event.h"
#include "session/clock_host.h"
#include "session/command_line.h"
#include "session/simulation.h"

namespace quillmar::planprobe::testing {

// The plain loop: every simulated minute is one full pass.
void runPlainLoop(Simulation& simulation, bool loadsOnly);

// An event line as the parser leaves it before classification: start and end fields set from
// readable values (month 1..12), keys computed as the parser computes them.
ScheduleEvent makeEvent(uint8_t kind, int month, int day, int year, int hour, int minute);
void setEnd(ScheduleEvent& event, int month, int day, int year, int hour, int minute);
void setParam(ScheduleEvent& event, int index, const std::string& bytes);
void setValueParam(ScheduleEvent& event, int index, uint8_t value);

// One simulated run over a schedule held in memory. Each daily reload treats the lines the
// way the parser treats a file's lines in daily-loading mode.
class SimRun {
 public:
  SimRun(std::vector<ScheduleEvent> lines, int month, int day, int year, int hour, int minute,
         uint32_t span);

  SessionOptions options;
  // The reload at which the schedule file is gone (0: never).
  int missingAtReload = 0;

  // Runs the loop and returns the log it wrote (CR LF line ends); `analysisErrors` stands for
  // errors that the syntax analysis reported.
  std::string run(bool fast, bool analysisErrors = false);
  std::string console() const { return consoleText_.str(); }

 private:
  ResultCode reload();

  std::vector<ScheduleEvent> lines_;
  SimClock clock_;
  BootState boot_;
  EventList events_;
  std::string out_;
  ResultsLog log_;
  std::ostringstream consoleText_;
  Console console_{consoleText_};
  int reloads_ = 0;
};

// One simulated run over a schedule file, the way a session runs it after its analysis, with
// the log going to `sink`.
class ScheduleFileRun {
 public:
  ScheduleFileRun(std::string schedulePath, std::unique_ptr<LogSink> sink, int month, int day,
                  int year, int hour, int minute, uint32_t span);

  SessionOptions options;
  // Called before each daily reload with its count from 0, e.g. to edit the schedule file.
  std::function<void(int reload)> beforeReload;

  // Runs the analysis and then the loop (fast or plain); returns false when the analysis
  // failed. The log is closed afterwards.
  bool run(bool fast);
  std::string console() const { return consoleText_.str(); }

 private:
  SimClock clock_;
  BootState boot_;
  EventList events_;
  ResultsLog log_;
  ClockHost host_{clock_, boot_, log_};
  std::ostringstream consoleText_;
  Console console_{consoleText_};
};

// `text` with each line feed turned into CR LF, as the log writes it.
std::string crlf(const std::string& text);

}  // namespace quillmar::planprobe::testing
