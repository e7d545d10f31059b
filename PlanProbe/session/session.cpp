#include "session/session.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <system_error>

#include "calendar/calendar.h"
#include "insight/finding_text.h"
#include "platform/file_name.h"
#include "platform/replace_file.h"
#include "schedule/parser.h"
#include "session/compared_run.h"
#include "session/console.h"
#include "session/same_file.h"
#include "session/simulation.h"

namespace quillmar::planprobe {

namespace {

// The exit status of a run that --strict fails for the analysis's findings.
constexpr int kExitStrict = 1;
// The exit status of a run whose commands differ from the old schedule's (--compare).
constexpr int kExitChanged = 1;

constexpr const char* kLogHeader =
    "\nBTV Plan Probe:"
    "\n---------------------\n"
    "Sunrise/Sunset Note: the Simulation portion of this schedule test shows accurate "
    "starttime substitutions \n"
    "when you are using a T:sunrise or T:sunset as your starttime, where as the Syntax Analysis "
    "portion, substitutes\n"
    "the same SR/SS starttimes (based on your starting date),as it is not changing the "
    "\"current\"\n"
    "date.  So use the substitutions in the Simulation to verify your SR/SS events are starting "
    "on time.\n"
    "Double Occupancy Note: During simulation, a capital 'D' will appear just before the listing "
    "of an event's\n"
    "starttime to notify you if two or more events were scheduled to be executed that minute.  "
    "See the Double \n"
    "Occupancy rules in the unit's manual for the list of precedence associated with double "
    "occupancies.\n"
    "\n\nStarting Syntax Analysis."
    "\n--------------------------------"
    "\nErrors have a corresponding line number in front of them.";

// The system's reason why `path` cannot be read as a schedule; 0 when it can.
int unreadableReason(const std::string& path) {
  std::error_code ignored;
  if (std::filesystem::is_directory(platform::pathFromName(path), ignored)) {
    return EISDIR;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return errno;
  }
  std::fclose(file);
  return 0;
}

// The system's reason why `path` cannot be opened for reading, found by trying again: the
// reader that failed keeps no reason of its own.
int readFailureReason(const std::string& path) {
  const int reason = unreadableReason(path);
  return reason != 0 ? reason : EIO;  // readable again now; the earlier failure was passing
}

}  // namespace

bool Session::logIsNotSchedule() {
  if (!IsSameFile(options_.logPath, options_.sourcePath)) {
    return true;
  }
  console_.print(
      "The results file %s is the schedule file %s itself: writing to it would destroy "
      "the schedule. Quitting.\n",
      options_.logPath.c_str(), options_.sourcePath.c_str());
  return false;
}

bool Session::pageIsItsOwnFile() {
  const std::optional<std::string>& page = options_.insight.timelinePath;
  if (!page) {
    return true;
  }
  const std::optional<std::string>& old = options_.insight.comparePath;
  using Named = std::pair<const std::string*, const char*>;
  for (const auto& [path, what] :
       {Named{&options_.sourcePath, "schedule file"}, Named{&options_.logPath, "results file"},
        Named{old ? &*old : nullptr, "old schedule file"}}) {
    if (path != nullptr && IsSameFile(*page, *path)) {
      console_.print("The timeline page %s is the %s %s itself. Quitting.\n", page->c_str(), what,
                     path->c_str());
      return false;
    }
  }
  return true;
}

bool Session::oldScheduleReadable() {
  const std::optional<std::string>& old = options_.insight.comparePath;
  if (!old) {
    return true;
  }
  if (IsSameFile(*old, options_.logPath)) {
    console_.print("The old schedule %s is the results file %s itself. Quitting.\n", old->c_str(),
                   options_.logPath.c_str());
    return false;
  }
  const int reason = unreadableReason(*old);
  if (reason == 0) {
    return true;
  }
  console_.print("The old schedule %s cannot be read. Quitting.\n", old->c_str());
  printReason(console_, reason);
  return false;
}

bool Session::openLog() {
  std::unique_ptr<LogSink> sink = openLogFile(options_.logPath, options_.appendLog);
  if (sink == nullptr) {
    const int reason = errno;
    console_.print("The file %s could not be opened. Quitting.\n", options_.logPath.c_str());
    printReason(console_, reason);
    return false;
  }
  log_.open(std::move(sink));
  if (options_.appendLog) {
    log_.write("\n\n\n-------------------------(new session)-----------------------------\n\n");
  }
  return true;
}

int Session::runAnalysis() {
  ParseTarget target{events_, log_, host_, &scheduleCache_, &findings_};
  const ResultCode result = loadScheduleFile(options_.sourcePath, true, target);
  if (options_.insight.diagnostics) {
    WriteDiagnostics(errors_, options_.sourcePath, findings_, scheduleCache_.text);
  }
  if (result == FILE_OPEN_FAILED) {
    const char* source = options_.sourcePath.c_str();
    log_.print("\nCouldn't open %s. Stopping now.\n", source);
    log_.flush();
    console_.print("Couldn't open %s!!!! Press any key to continue.\n", source);
    printReason(console_, readFailureReason(options_.sourcePath));
    console_.flush();
    waitForKey_();
    return kExitFailure;
  }
  if (isFailure(result)) {
    log_.write("File Reported Errors.  Stopping now.\n");
    return kExitFailure;
  }
  startInsight();
  if (options_.analyzeOnly) {
    log_.write("\n\nAnalyze option used. No simulation will be performed.\n");
    console_.write("Analyze option used.  Stopping now.\n");
    return close();
  }
  log_.write("\n\n\n\n\n\nStarting Simulation (time is military)");
  log_.write("\n--------------------------------------");
  log_.print("\nWill simulate for %01i total minutes", static_cast<int32_t>(options_.totalMinutes));
  log_.print("\nBootup at: %02i:%02i \n       on: %02i.%02i.%02i", clock_.ClockHour(),
             clock_.ClockMinute(), clock_.ClockMonth(), clock_.ClockDay(), clock_.ClockYear());
  log_.write("\n");
  RunSimulation();
  return close();
}

int Session::close() {
  console_.endProgressLine();
  log_.write("\nDone.\n");
  const bool written = log_.close();
  freeEventList(events_);
  if (!written) {
    console_.print("The file %s could not be written completely.\n", options_.logPath.c_str());
    printReason(console_, log_.failureReason() != 0 ? log_.failureReason() : EIO);
    return kExitFailure;
  }
  return kExitOk;
}

int Session::run(std::span<const char* const> args) {
  if (std::optional<int> status = ReadCommandLine(args, options_, clock_, console_.stream())) {
    return *status;
  }
  if (options_.insight.site) {
    host_.setSite(ProviderFor(*options_.insight.site));
  }
  if (options_.insight.comparePath) {
    // Standard output carries the changes, one a line, as the run goes.
    console_.hideProgress();
  } else {
    console_.write(
        "\nBTV Plan Probe: (press Ctrl+C to cancel)"
        "\n----------------------------------------------\n");
    console_.print("Reading %s and writing results to %s.\n", options_.sourcePath.c_str(),
                   options_.logPath.c_str());
  }
  if (CheckDayOfMonth(clock_.ClockMonthCode(), clock_.ClockDay(), clock_.ClockYear()) !=
      CalendarStatus::Ok) {
    console_.write("Invalid start date.\n Exiting.");
    return kExitFailure;
  }
  clock_.updateDateKey();
  initialSpan_ = options_.totalMinutes;
  if (!logIsNotSchedule() || !pageIsItsOwnFile() || !oldScheduleReadable() || !openLog()) {
    return kExitFailure;
  }
  log_.write(kLogHeader);
  return finishInsight(runAnalysis());
}

void Session::startInsight() {
  const InsightOptions& insight = options_.insight;
  if (insight.summary || insight.timelinePath) {
    const std::vector<uint32_t> physicalLines =
        scheduleCache_.parsed ? PhysicalLineNumbers(*scheduleCache_.parsed, scheduleCache_.text)
                              : std::vector<uint32_t>{};
    summary_.emplace(events_, findings_, physicalLines, !options_.loadsOnly);
    observers_.push_back(&*summary_);
    if (insight.timelinePath) {
      timeline_.emplace();
      observers_.push_back(&*timeline_);
    }
  }
  if (insight.comparePath) {
    if (summary_) {
      summary_->showChanges();
      listeners_.push_back(&*summary_);
    }
    if (timeline_) {
      timeline_->showChanges();
      listeners_.push_back(&*timeline_);
    }
    comparison_.emplace(console_.stream(), LinesByCommand(events_), listeners_);
  }
}

int Session::finishInsight(int status) {
  const InsightOptions& insight = options_.insight;
  if (comparison_) {
    comparison_->finish(*insight.comparePath);
  }
  if (summary_ && insight.summary) {
    std::ostringstream text;
    summary_->print(text);
    console_.write(text.str());
  }
  if (timeline_) {
    const std::string page =
        timeline_->render(options_.sourcePath, *summary_, findings_, scheduleCache_.text);
    const std::optional<platform::ReplaceFailure> failure =
        platform::replaceFile(*insight.timelinePath, page);
    if (failure) {
      console_.print("The timeline page %s could not be written: %s\n",
                     insight.timelinePath->c_str(), failure->reason.c_str());
      return kExitFailure;
    }
  }
  if (insight.strict && status == kExitOk && !findings_.empty()) {
    return kExitStrict;
  }
  if (comparison_ && status == kExitOk) {
    return comparisonFailed_                                ? kExitFailure
           : comparison_->gone() + comparison_->added() > 0 ? kExitChanged
                                                            : kExitOk;
  }
  return status;
}

int RunSession(int argc, const char* const argv[], std::ostream& console,
               std::function<void()> waitForKey, std::ostream* errors) {
  Session session(console, std::move(waitForKey), errors);
  const std::span<const char* const> args(argv + (argc > 0 ? 1 : 0), argc > 0 ? argc - 1 : 0);
  return session.run(args);
}

void Session::RunSimulation() {
  SimulationSetup setup{
      options_,
      initialSpan_,
      clock_,
      boot_,
      events_,
      log_,
      console_,
      ReloadFrom(options_.sourcePath, ParseTarget{events_, log_, host_, &scheduleCache_},
                 comparisonFailed_),
      observers_};
  if (comparison_) {
    runCompared(setup);
  } else {
    Simulation(setup).run();
  }
}

void Session::runCompared(SimulationSetup& setup) {
  const std::string& oldPath = *options_.insight.comparePath;
  ComparedRun old(options_, oldPath, clock_, comparison_->commands());
  if (!old.analyse()) {
    console_.print("The old schedule %s could not be read; nothing was compared.\n",
                   oldPath.c_str());
    comparisonFailed_ = true;
    Simulation(setup).run();
    return;
  }
  std::optional<Simulation> run;
  CommandTrail trail(comparison_->commands(), [&run] { return run->minutesTaken(); });
  observers_.push_back(&trail);
  setup.observers = observers_;
  run.emplace(setup);
  RunSideBySide(*run, trail, old, *comparison_);
  observers_.pop_back();
  if (old.lostItsFile()) {
    console_.print("The old schedule %s could no longer be read; its run ended early.\n",
                   oldPath.c_str());
    comparisonFailed_ = true;
  }
}

}  // namespace quillmar::planprobe
