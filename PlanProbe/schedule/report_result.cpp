#include "schedule/report_result.h"

#include <array>

namespace quillmar::planprobe {

namespace {

struct ErrorText {
  const char* message;
  int tabs;  // tab characters written after the message, part of its text
};

// Messages of the codes FIRST_ERROR (150) to BAD_GEOGRAPHICAL_PARAMS (188), in code order.
constexpr std::array<ErrorText, 39> kErrorTexts{{
    {"Error: NO_MATCH", 3},
    {"Error: BAD_POINTER", 3},
    {"Error: BAD_EVENT_POINTER", 1},
    {"Error: BAD_FILE_POINTER", 1},
    {"Error: EVENT_HAS_BAD_DATA", 1},
    {"Error: SCHEDULE_FILE_INVALID", 0},
    {"Error: BAD_REPEAT_PERIOD", 1},
    {"Error: ERR_BAD_BEHAVIOR_TYPE", 0},
    {"Error: MALLOC_FAILURE", 2},
    {"Error: BAD_BUFFER_POINTER", 1},
    {"Error: BAD_STARTHOUR", 2},
    {"Error: BAD_STARTMIN", 2},
    {"Error: BAD_STARTTIME", 2},
    {"Error: BAD_STARTDAY", 2},
    {"Error: BAD_STARTMONTH", 2},
    {"Error: BAD_STARTYEAR", 2},
    {"Error: BAD_STARTDATE", 2},
    {"Error: BAD_ENDHOUR", 3},
    {"Error: BAD_ENDMIN", 3},
    {"Error: BAD_ENDTIME", 3},
    {"Error: BAD_ENDDAY", 3},
    {"Error: BAD_ENDMONTH", 2},
    {"Error: BAD_ENDYEAR", 3},
    {"Error: BAD_ENDDATE", 3},
    {"Error: BAD_SET", 4},
    {"Error: BAD_EVENT", 3},
    {"Error: BAD_DATA_PARAM", 2},
    {"Error: BAD_DATA_PARAM1", 2},
    {"Error: BAD_DATA_PARAM2", 2},
    {"Error: BAD_DATA_PARAM3", 2},
    {"Error: BAD_DATA_PARAM4", 2},
    {"Error: BAD_DATE", 3},
    {"Error: BAD_DAY", 4},
    {"Error: BAD_DATA_POINTER", 1},
    {"Error: BAD_MONTH", 3},
    {"Error: BAD_PERIOD", 3},
    {"Error: BAD_FILE_NAME", 2},
    {"Error: FILE_OPEN_FAILED", 1},
    {"Error: BAD_GEOGRAPHICAL_PARAMS", 0},
}};

constexpr const char* kEndDateWarning =
    "Warning: ENDDATE IS EARLIER THAN STARTDATE - EVENT WILL NOT BE LOADED";

void writePrefix(ResultsLog& log, const char* context) {
  if (context != nullptr) {
    log.print("\n%s ", context);
  } else {
    log.write("\n");
  }
}

void writeErrorMessage(ResultsLog& log, ResultCode code) {
  const size_t index = code - FIRST_ERROR;
  if (index >= kErrorTexts.size()) {
    log.print("UnMatched Error Number: %d", code);
    return;
  }
  log.write(kErrorTexts[index].message);
  log.write(std::string_view("\t\t\t\t", kErrorTexts[index].tabs));
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
  } else if (code == ENDDATE_EARLIER) {
    log.write(kEndDateWarning);
  }
  log.write("\n");
  log.markErrorSeen();
}

}  // namespace quillmar::planprobe
