// The timeline page: one self-contained HTML file that shows the run as a calendar (the first
// weeks day by day with a mark per executed command, the rest condensed to a row per month),
// with a legend, the run summary and the analysis findings. It needs no script, style sheet,
// font or picture from elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "insight/command_changes.h"
#include "insight/run_summary.h"
#include "rules/minute_outcome.h"
#include "schedule/parser.h"

namespace quillmar::planprobe {

class TimelinePage final : public MinuteObserver, public ChangeListener {
 public:
  // Days shown in full before the page condenses to one row per month: five weeks.
  static constexpr uint32_t kFullDays = 35;

  void dayStarted(const SimMoment& when) override;
  void minuteSettled(const MinuteOutcome& outcome) override;
  // Marks the minutes whose command differs from the old schedule's, from now on.
  void showChanges() { changesShown_ = true; }
  void commandChanged(const CommandChange& change) override;

  // The whole page for the run of `scheduleName`, whose text is `sourceText`.
  std::string render(const std::string& scheduleName, const RunSummary& summary,
                     const std::vector<Finding>& findings, std::string_view sourceText) const;

 private:
  // kAdded and kGone mark a minute whose command differs from the old schedule's: only the
  // new schedule runs it, or only the old one.
  enum MarkKind : uint8_t { kCommand, kSilent, kNoPrecedence, kAdded, kGone };
  struct Mark {
    int16_t minuteOfDay;
    uint8_t eventKind;  // the winner's; 0 without one
    MarkKind kind;
    bool doubled;      // two or more events were due
    std::string text;  // the minute's log text
  };
  struct Day {
    SimMoment date;
    std::vector<Mark> marks;
  };
  struct Month {
    SimMoment date;  // its first simulated day
    uint32_t days = 0;
    std::array<uint64_t, 9> runs{};  // by event kind 51..59
    uint64_t doubled = 0;
    uint64_t noPrecedence = 0;
    uint64_t changed = 0;  // commands new or gone against the old schedule
  };

  void renderDays(std::string& page) const;
  void renderMonths(std::string& page) const;

  std::vector<Day> days_;
  std::vector<Month> months_;
  bool changesShown_ = false;
};

}  // namespace quillmar::planprobe
