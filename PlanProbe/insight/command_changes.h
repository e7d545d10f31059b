// What an edit of a schedule changes: the device commands that two runs over the same span
// execute, compared minute by minute while the runs go on side by side. Only what has not
// been compared yet is kept, so memory does not grow with the span.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rules/minute_outcome.h"

namespace quillmar::planprobe {

// What a minute's log text holds after the start-time mark: the command, in the log's form.
std::string_view CommandPart(std::string_view minuteText);

// The command that a minute's log text executes, on one line: what follows the start-time
// mark, with each further line (Ack, Retries, Timeout) joined on after one blank.
std::string CommandText(std::string_view minuteText);

// The commands both runs executed, as they stand in the log after the start-time mark, each
// kept once and known by its number: a command's text depends only on its line's event and
// parameters, so there are never more of them than schedule lines, however long the span.
class LoggedCommands {
 public:
  // The number of `logged`, given it now when it is new.
  uint32_t numberOf(std::string_view logged);
  std::string_view logged(uint32_t number) const { return texts_[number]; }

 private:
  // Looks a text up by a view of it, without making a string of it first.
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, uint32_t, Hash, std::equal_to<>> numbers_;
  std::deque<std::string> texts_;  // by number; a deque keeps the views of numbers_ valid
};

// A command one run executed, at its place in the span.
struct RunCommand {
  uint64_t at;  // minutes of the span before it
  SimMoment when;
  uint32_t command;  // its number among the LoggedCommands
  uint32_t line;     // the winner's line, as the log numbers it
};

// Watches one run and keeps the commands it executed until they are compared.
class CommandTrail final : public MinuteObserver {
 public:
  // `position` tells, during an observer call, the minute's place in the span; `commands`
  // numbers the commands, the same for both runs.
  CommandTrail(LoggedCommands& commands, std::function<uint64_t()> position)
      : commands_(commands), position_(std::move(position)) {}

  void dayStarted(const SimMoment&) override {}
  void minuteSettled(const MinuteOutcome& outcome) override;

  std::deque<RunCommand>& pending() { return pending_; }

 private:
  LoggedCommands& commands_;
  std::function<uint64_t()> position_;
  std::deque<RunCommand> pending_;
  // By line (as the log numbers it), the number of the command it ran last: a line runs the
  // same command every time, so a comparison of the text saves looking it up.
  std::vector<uint32_t> lastByLine_;
};

// A command that only one of the two runs executes in its minute.
struct CommandChange {
  SimMoment when;
  bool added;  // only the new schedule runs it; else only the old one
  std::string_view text;
  // The new schedule's line (as the log numbers it) that runs it or, for a command that is
  // gone, that runs the same command elsewhere; 0 for none.
  uint32_t line;
};

// Told of every change as it is found (the run summary, the timeline page).
class ChangeListener {
 public:
  virtual ~ChangeListener() = default;
  virtual void commandChanged(const CommandChange& change) = 0;
};

class CommandComparison {
 public:
  // Writes each change to `out` as "-YYYY-MM-DD HH:MM TEXT" (only the old run executes it)
  // or "+YYYY-MM-DD HH:MM TEXT" (only the new one). `linesByCommand` gives, by command text,
  // the new schedule's first line that runs it.
  CommandComparison(std::ostream& out, std::unordered_map<std::string, uint32_t> linesByCommand,
                    std::span<ChangeListener* const> listeners)
      : out_(out), linesByCommand_(std::move(linesByCommand)), listeners_(listeners) {}

  // Compares the commands of both trails placed before minute `upTo` of the span, which both
  // runs have passed, and drops them from the trails.
  void settle(CommandTrail& older, CommandTrail& newer, uint64_t upTo);
  // Writes the line with the counts, naming the old schedule `oldName`.
  void finish(const std::string& oldName);
  // The numbers of the commands, which both trails use.
  LoggedCommands& commands() { return commands_; }

  uint64_t gone() const { return gone_; }
  uint64_t added() const { return added_; }

 private:
  // Writes and passes on one change.
  void report(const RunCommand& command, bool added);

  std::ostream& out_;
  std::unordered_map<std::string, uint32_t> linesByCommand_;
  std::span<ChangeListener* const> listeners_;
  LoggedCommands commands_;
  uint64_t gone_ = 0;
  uint64_t added_ = 0;
};

}  // namespace quillmar::planprobe
