#include "session/compared_run.h"

#include <algorithm>
#include <memory>

#include "session/command_log.h"

namespace quillmar::planprobe {

ComparedRun::ComparedRun(const SessionOptions& options, const std::string& oldPath,
                         const SimClock& start, LoggedCommands& commands)
    : options_(options),
      unit_(start),
      trail_(commands, [this] { return simulation_->minutesTaken(); }) {
  options_.sourcePath = oldPath;
  if (options_.insight.site) {
    unit_.host.setSite(ProviderFor(*options_.insight.site));
  }
}

bool ComparedRun::analyse() {
  ParseTarget target = unit_.parseTarget();
  if (isFailure(loadScheduleFile(options_.sourcePath, true, target))) {
    return false;
  }
  const SimulationSetup setup{
      options_,      options_.totalMinutes,
      unit_.clock,   unit_.boot,
      unit_.events,  unit_.log,
      unit_.console, ReloadFrom(options_.sourcePath, unit_.parseTarget(), lostItsFile_),
      observers_};
  simulation_.emplace(setup);
  return true;
}

std::unordered_map<std::string, uint32_t> LinesByCommand(const EventList& valid) {
  std::unordered_map<std::string, uint32_t> lines;
  for (const ScheduleEvent& event : valid) {
    std::string text;
    ResultsLog log(std::make_unique<StringSink>(text));
    if (ExecuteEvent(log, &event, false) == SUCCESS && log.close()) {
      lines.emplace(CommandText(text), event.line);
    }
  }
  return lines;
}

void RunSideBySide(Simulation& newer, CommandTrail& newTrail, ComparedRun& older,
                   CommandComparison& comparison) {
  Simulation& old = older.simulation();
  bool newGoesOn = true;
  bool oldGoesOn = true;
  // Each step runs at most a day, so neither trail holds more than a day or two of commands.
  while (newGoesOn || oldGoesOn) {
    if (newGoesOn && (!oldGoesOn || newer.minutesTaken() <= old.minutesTaken())) {
      newGoesOn = newer.step();
    } else {
      oldGoesOn = old.step();
    }
    comparison.settle(older.trail(), newTrail, std::min(newer.minutesTaken(), old.minutesTaken()));
  }
}

}  // namespace quillmar::planprobe
