#include "server/line_report.h"

#include "assist/event_words.h"
#include "calendar/solar.h"
#include "insight/finding_text.h"
#include "insight/run_summary.h"

namespace quillmar::planprobe {

namespace {

// "1 minute", "3 minutes"; "1 day", "7 days".
std::string countText(uint64_t count, const char* unit) {
  return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}
std::string minutesText(uint64_t count) {
  return countText(count, "minute");
}

// "2002-07-24 00:00 for 7 days", the span the runs are counted in.
std::string spanText(const RunSettings& settings) {
  const SimClock& start = settings.start;
  const SimMoment from{start.ClockYear(), start.ClockMonth(), start.ClockDay(), start.ClockHour(),
                       start.ClockMinute()};
  const uint32_t minutes = settings.options.totalMinutes;
  const std::string length =
      minutes % 1440 == 0 ? countText(minutes / 1440, "day") : minutesText(minutes);
  return MomentText(from) + " for " + length;
}

// "line 12 (3), line 40 (1)": the lines that took the minutes, most often first as listed.
std::string lossesText(const std::vector<std::pair<uint32_t, uint64_t>>& losses) {
  std::string text;
  for (const auto& [line, count] : losses) {
    text += (text.empty() ? "" : ", ") + ("line " + std::to_string(line)) + " (" +
            std::to_string(count) + ")";
  }
  return text;
}

// The runs part of the hover: the next runs, how often, and what the line loses.
std::string runsText(const ScheduleRun& run, const ParsedLine& line) {
  const RunSummary* summary = run.summary();
  const std::optional<size_t> index = summary ? summary->indexOf(line.number) : std::nullopt;
  if (!index) {
    return {};
  }
  const LineStats& stats = summary->lines()[*index];
  std::string text = "\n**Next runs** (" + spanText(run.settings()) + ")\n\n";
  const std::vector<LineRun>& runs = run.firstRuns().of(line.number);
  if (runs.empty()) {
    text += "None: this line " + std::string(kNeverRan) + ".\n";
  } else {
    text += "```text\n";
    for (const LineRun& each : runs) {
      text += MomentText(each.when) + " " + each.command + "\n";
    }
    text += "```\n";
  }
  text += "\nRuns " + std::to_string(stats.runs) + "× in the span.";
  if (stats.losses > 0) {
    text += " Loses " + minutesText(stats.losses) + " to " + lossesText(summary->lossesTo(*index)) +
            ".";
  }
  return text + "\n";
}

}  // namespace

std::string HoverText(const ScheduleRun& run, const LineAtPlace& line) {
  std::string text;
  if (line.finding != nullptr) {
    const FindingText finding = DescribeFinding(line.finding->code);
    text += "**" + finding.name + "**: " + std::string(finding.explanation) + "\n";
  }
  const std::optional<SiteParameters>& site = run.settings().options.insight.site;
  if (line.finding == nullptr || DescribeFinding(line.finding->code).warning) {
    for (const std::string& words :
         TagsInWords(run.text(), *line.parsed, site ? ProviderFor(*site) : GetSiteParameters)) {
      text += "- " + words + "\n";
    }
  }
  return text + runsText(run, *line.parsed);
}

std::optional<std::string> LensTitle(const ScheduleRun& run, uint32_t line) {
  const RunSummary* summary = run.summary();
  const std::optional<size_t> index = summary ? summary->indexOf(line) : std::nullopt;
  if (!index) {
    return std::nullopt;
  }
  const LineStats& stats = summary->lines()[*index];
  std::string title = "runs " + std::to_string(stats.runs) + "×";
  if (stats.firstRun) {
    title += " · first " + MomentText(*stats.firstRun);
  }
  if (stats.losses > 0) {
    title += " · loses " + minutesText(stats.losses) + " to line " + std::to_string(stats.lostTo);
  }
  return title;
}

}  // namespace quillmar::planprobe
