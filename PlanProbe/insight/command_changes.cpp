#include "insight/command_changes.h"

#include <algorithm>
#include <ostream>

#include "insight/run_summary.h"

namespace quillmar::planprobe {

std::string_view CommandPart(std::string_view minuteText) {
  constexpr std::string_view kMark = "starttime) ";
  const size_t mark = minuteText.find(kMark);
  return mark == std::string_view::npos ? minuteText : minuteText.substr(mark + kMark.size());
}

std::string CommandText(std::string_view minuteText) {
  minuteText = CommandPart(minuteText);
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

uint32_t LoggedCommands::numberOf(std::string_view logged) {
  if (const auto known = numbers_.find(logged); known != numbers_.end()) {
    return known->second;
  }
  const auto number = static_cast<uint32_t>(texts_.size());
  numbers_.emplace(texts_.emplace_back(logged), number);
  return number;
}

void CommandTrail::minuteSettled(const MinuteOutcome& outcome) {
  if (outcome.line != MinuteLine::Command) {
    return;
  }
  const uint32_t line = outcome.winner->line;
  const std::string_view logged = CommandPart(outcome.text);
  if (lastByLine_.size() <= line) {
    lastByLine_.resize(line + 1, UINT32_MAX);
  }
  uint32_t& last = lastByLine_[line];
  if (last == UINT32_MAX || commands_.logged(last) != logged) {
    last = commands_.numberOf(logged);
  }
  pending_.push_back({position_(), outcome.when, last, line});
}

void CommandComparison::report(const RunCommand& command, bool added) {
  (added ? added_ : gone_) += 1;
  const std::string text = CommandText(commands_.logged(command.command));
  out_ << (added ? '+' : '-') << MomentText(command.when) << ' ' << text << '\n';
  uint32_t line = command.line;
  if (!added) {
    const auto same = linesByCommand_.find(text);
    line = same == linesByCommand_.end() ? 0 : same->second;
  }
  for (ChangeListener* listener : listeners_) {
    listener->commandChanged({command.when, added, text, line});
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
      const uint32_t was = gone.front().command;
      const uint32_t is = added.front().command;
      if (was != is && CommandText(commands_.logged(was)) != CommandText(commands_.logged(is))) {
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
