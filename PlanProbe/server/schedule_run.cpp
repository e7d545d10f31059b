#include "server/schedule_run.h"

#include "insight/command_changes.h"
#include "insight/finding_text.h"
#include "schedule/reader.h"

namespace quillmar::planprobe {

void FirstRuns::minuteSettled(const MinuteOutcome& outcome) {
  if (outcome.winner == nullptr) {
    return;
  }
  std::vector<LineRun>& runs = runs_[outcome.winner->line];
  if (runs.size() == kKept) {
    return;
  }
  // A winner without a command line (STOP, RESET, PAUSE) still ran: it is named by its event.
  runs.push_back({outcome.when, outcome.line == MinuteLine::Command
                                    ? CommandText(outcome.text)
                                    : std::string(EventKeyword(outcome.winner->kind))});
}

const std::vector<LineRun>& FirstRuns::of(uint32_t line) const {
  static const std::vector<LineRun> kNone;
  const auto found = runs_.find(line);
  return found == runs_.end() ? kNone : found->second;
}

ScheduleRun::ScheduleRun(std::string text, const RunSettings& settings)
    : settings_(settings), unit_(settings.start) {
  if (settings_.options.insight.site) {
    unit_.host.setSite(ProviderFor(*settings_.options.insight.site));
  }
  unit_.cache.text = std::move(text);
  ScheduleReader reader;
  reader.openText(unit_.cache.text);
  reader.readChunk();
  unit_.cache.parsed = parseScheduleText(reader);
  physical_ = PhysicalLineNumbers(*unit_.cache.parsed, unit_.cache.text);
  for (size_t i = 0; i < unit_.cache.parsed->lines.size(); ++i) {
    const uint32_t line = physicalLine(unit_.cache.parsed->lines[i].number);
    if (parsedByPhysical_.size() <= line) {
      parsedByPhysical_.resize(line + 1, -1);
    }
    parsedByPhysical_[line] = static_cast<int32_t>(i);
  }
  ParseTarget target = unit_.parseTarget(&findings_);
  if (isFailure(loadParsedSchedule(*unit_.cache.parsed, true, target))) {
    return;
  }
  summary_.emplace(unit_.events, findings_, physical_);
  observers_ = {&*summary_, &firstRuns_};
  const SimulationSetup setup{settings_.options,
                              settings_.options.totalMinutes,
                              unit_.clock,
                              unit_.boot,
                              unit_.events,
                              unit_.log,
                              unit_.console,
                              [this] {
                                ParseTarget daily = unit_.parseTarget();
                                return loadParsedSchedule(*unit_.cache.parsed, false, daily);
                              },
                              observers_};
  simulation_.emplace(setup);
}

std::optional<LineAtPlace> ScheduleRun::lineOn(uint32_t line) const {
  if (line >= parsedByPhysical_.size() || parsedByPhysical_[line] < 0) {
    return std::nullopt;
  }
  const ParsedLine& parsed =
      unit_.cache.parsed->lines[static_cast<size_t>(parsedByPhysical_[line])];
  const Finding* finding = nullptr;
  for (const Finding& candidate : findings_) {
    if (candidate.line == parsed.number) {
      finding = &candidate;
      break;
    }
  }
  return LineAtPlace{&parsed, finding};
}

bool ScheduleRun::step() {
  if (simulation_ && !simulation_->step()) {
    simulation_.reset();
  }
  return simulation_.has_value();
}

}  // namespace quillmar::planprobe
