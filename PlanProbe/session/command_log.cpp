#include "session/command_log.h"

#include <array>
#include <optional>
#include <string_view>

#include "log/log_text.h"

namespace quillmar::planprobe {

namespace {

// A text parameter as the writers take it: null when absent. A present buffer always ends
// with a zero byte, so it reads as text up to its first zero.
const char* textParam(const ParamBuffer& param) {
  return param.empty() ? nullptr : reinterpret_cast<const char*>(param.data());
}

// A number parameter is its first byte; an absent one counts as 0.
uint8_t valueParam(const ParamBuffer& param) {
  return param.empty() ? 0 : param[0];
}

const char* shownText(const char* text) {
  return text != nullptr ? text : "(null)";
}

using CommandWriter = ResultCode (*)(ResultsLog&, const ScheduleEvent&);

ResultCode writeSendString(ResultsLog& log, const ScheduleEvent& e) {
  return LogSendString(log, textParam(e.params[0]), textParam(e.params[1]), valueParam(e.params[2]),
                       valueParam(e.params[3]));
}
ResultCode writeStartSequence(ResultsLog& log, const ScheduleEvent& e) {
  return LogStartSequence(log, valueParam(e.params[0]));
}
ResultCode writeSetVarEq(ResultsLog& log, const ScheduleEvent& e) {
  return LogSetVarEq(log, valueParam(e.params[0]), valueParam(e.params[1]));
}
ResultCode writeOn(ResultsLog& log, const ScheduleEvent& e) {
  return LogOn(log, valueParam(e.params[0]));
}
ResultCode writeOff(ResultsLog& log, const ScheduleEvent& e) {
  return LogOff(log, valueParam(e.params[0]));
}
ResultCode writeDefaultWebPage(ResultsLog& log, const ScheduleEvent& e) {
  return LogDefaultWebPage(log, textParam(e.params[0]));
}

// Command writers of the kinds SENDSTRING (51) to DEFAULTWEBPAGE (59), in code order; STOP,
// RESET and PAUSE have no command text.
constexpr std::array<CommandWriter, 9> kWriters = {
    writeSendString, writeStartSequence,  nullptr, nullptr, nullptr, writeSetVarEq, writeOn,
    writeOff,        writeDefaultWebPage,
};
static_assert(kWriters.size() == kKindCount, "one writer per kind");

CommandWriter writerFor(uint8_t kind) {
  const size_t index = static_cast<size_t>(kind) - SENDSTRING;
  return kind >= SENDSTRING && index < kWriters.size() ? kWriters[index] : nullptr;
}

}  // namespace

bool HasCommand(const ScheduleEvent& event) {
  return writerFor(event.kind) != nullptr;
}

ResultCode ExecuteEvent(ResultsLog& log, const ScheduleEvent* event, bool doubleOccupancy) {
  if (event == nullptr) {
    return BAD_EVENT_POINTER;
  }
  // A kind without a command leaves no trace, not even its mark and start time.
  const CommandWriter writer = writerFor(event->kind);
  if (writer == nullptr) {
    return NO_MATCH;
  }
  log.writeRaw(doubleOccupancy ? "D(" : " (");
  // The rest of the line is the same at every execution of the line's event: made once.
  EventTexts* const texts = event->texts.get();
  const auto startTime = static_cast<uint16_t>(event->startHour << 8 | event->startMinute);
  if (texts != nullptr && !texts->command.empty() && texts->commandTime == startTime) {
    log.writeRaw(texts->command);
    return SUCCESS;
  }
  const uint64_t start = log.position();
  LogText()
      .twoDigits(event->startHour)
      .text(":")
      .twoDigits(event->startMinute)
      .text(" starttime) ")
      .writeTo(log);
  writer(log, *event);
  if (const std::optional<std::string_view> written = log.writtenSince(start);
      written && texts != nullptr) {
    texts->command.assign(*written);
    texts->commandTime = startTime;
  }
  return SUCCESS;
}

ResultCode LogSendString(ResultsLog& log, const char* text, const char* ack, uint8_t retries,
                         uint8_t timeout) {
  log.write("ElvaneSendString: ");
  log.write(shownText(text));
  log.write("\n             Ack: ");
  log.write(shownText(ack));
  LogText()
      .text("\n         Retries: ")
      .number(retries)
      .text("\n         Timeout: ")
      .number(timeout)
      .text("\n")
      .writeTo(log);
  return SUCCESS;
}

ResultCode LogStartSequence(ResultsLog& log, uint8_t sequence) {
  LogText().text("ElvaneStartSequence: ").number(sequence).writeTo(log);
  return SUCCESS;
}

ResultCode LogSetVarEq(ResultsLog& log, uint8_t variable, uint8_t value) {
  LogText().text("ElvaneSetVarEQ: ").number(variable).text(" ").number(value).writeTo(log);
  return SUCCESS;
}

ResultCode LogOn(ResultsLog& log, uint8_t number) {
  LogText().text("ElvaneOn: ").number(number).writeTo(log);
  return SUCCESS;
}

ResultCode LogOff(ResultsLog& log, uint8_t number) {
  LogText().text("ElvaneOff: ").number(number).writeTo(log);
  return SUCCESS;
}

ResultCode LogDefaultWebPage(ResultsLog& log, const char* page) {
  log.write("ElvaneDefaultWebPage: ");
  log.write(shownText(page));
  return SUCCESS;
}

}  // namespace quillmar::planprobe
