#include "schedule/report_result.h"

#include <string_view>

namespace quillmar::planprobe {

namespace {

// Opens a report: a line feed and, when given, the context behind it.
void writePrefix(ResultsLog& log, const char* context) {
  if (context != nullptr) {
    log.print("\n%s ", context);
  } else {
    log.write("\n");
  }
}

// Writes an error's message and the tabs after it, or its number when it has no name.
void writeErrorMessage(ResultsLog& log, ResultCode code) {
  const ResultCodeText* text = findResultCode(code);
  if (text == nullptr) {
    log.print("UnMatched Error Number: %d", code);
    return;
  }
  log.write("Error: ");
  log.write(text->name);
  log.write(std::string_view("\t\t\t\t", text->tabs));
}

}  // namespace

void reportResult(ResultsLog& log, ResultCode code, const char* context) {
  if (code == NOT_TODAY) {
    return;
  }
  writePrefix(log, context);
  if (!isFailure(code)) {
    log.print("Reported Response Number: %d", code);
    return;
  }
  if (code < FIRST_WARNING) {
    writeErrorMessage(log, code);
  } else if (const ResultCodeText* text = findResultCode(code)) {
    log.write(text->message);
  }
  log.write("\n");
  log.markErrorSeen();
}

}  // namespace quillmar::planprobe
