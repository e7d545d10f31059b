#include "insight/command_changes.h"

#include <algorithm>
#include <ostream>

#include "insight/run_summary.h"

namespace quillmar::planprobe {

std::string CommandText(std::string_view minuteText) {
  constexpr std::string_view kMark = "starttime) ";
  const size_t mark = minuteText.find(kMark);
  if (mark != std::string_view::npos) {
    minuteText.remove_prefix(mark + kMark.size());
  }
  const auto lineEnd = [](char c) { return c == '\r' || c == '\n'; };
  // Line by line: most commands are one line, taken whole.
  std::string text;
  auto at = minuteText.begin();
  while (at != minuteText.end()) {
    const auto end = std::find_if(at, minuteText.end(), lineEnd);
    if (end != at) {
      if (!text.empty()) {
        text += ' ';
      }
      text.append(at, end);
    }
    // The line end and the blanks that indent a further line.
    at =
        std::find_if(end, minuteText.end(), [&lineEnd](char c) { return !lineEnd(c) && c != ' '; });
  }
  return text;
}

void CommandTrail::minuteSettled(const MinuteOutcome& outcome) {
  if (outcome.line == MinuteLine::Command) {
    pending_.push_back(
        {position_(), outcome.when, CommandText(outcome.text), outcome.winner->line});
  }
}

void CommandComparison::report(const RunCommand& command, bool added) {
  (added ? added_ : gone_) += 1;
  out_ << (added ? '+' : '-') << MomentText(command.when) << ' ' << command.text << '\n';
  uint32_t line = command.line;
  if (!added) {
    const auto same = linesByCommand_.find(command.text);
    line = same == linesByCommand_.end() ? 0 : same->second;
  }
  for (ChangeListener* listener : listeners_) {
    listener->commandChanged({command.when, added, command.text, line});
  }
}

void CommandComparison::settle(CommandTrail& older, CommandTrail& newer, uint64_t upTo) {
  std::deque<RunCommand>& gone = older.pending();
  std::deque<RunCommand>& added = newer.pending();
  for (;;) {
    const bool oldReady = !gone.empty() && gone.front().at < upTo;
    const bool newReady = !added.empty() && added.front().at < upTo;
    if (!oldReady && !newReady) {
      return;
    }
    if (oldReady && newReady && gone.front().at == added.front().at) {
      // One minute in both runs: shown only when the command itself differs.
      if (gone.front().text != added.front().text) {
        report(gone.front(), false);
        report(added.front(), true);
      }
      gone.pop_front();
      added.pop_front();
    } else if (oldReady && (!newReady || gone.front().at < added.front().at)) {
      report(gone.front(), false);
      gone.pop_front();
    } else {
      report(added.front(), true);
      added.pop_front();
    }
  }
}

void CommandComparison::finish(const std::string& oldName) {
  out_ << "Compared with " << oldName << ": " << gone_ << " command(s) gone (-), " << added_
       << " new (+)\n";
}

}  // namespace quillmar::planprobe
