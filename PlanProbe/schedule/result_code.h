// Result codes: the unsigned 8-bit outcome of every planprobe operation.
// 0 is success, 1..149 responses, 150..224 errors, 225..255 warnings.
#pragma once

#include <cstdint>

namespace quillmar::planprobe {

using ResultCode = uint8_t;

// The codes the program raises or compares against. The names are the words of their messages.
enum : ResultCode {
  SUCCESS = 0,
  REJECTED_RESPONSE = 1,  // the parser's report of an event the classification refused
  REJECTED_EVENT = 75,
  NOT_TODAY = 76,
  FIRST_ERROR = 150,
  NO_MATCH = 150,
  BAD_POINTER = 151,
  BAD_EVENT_POINTER = 152,
  BAD_FILE_POINTER = 153,
  EVENT_HAS_BAD_DATA = 154,
  SCHEDULE_FILE_INVALID = 155,
  BAD_REPEAT_PERIOD = 156,
  ERR_BAD_BEHAVIOR_TYPE = 157,
  MALLOC_FAILURE = 158,
  BAD_BUFFER_POINTER = 159,
  BAD_STARTHOUR = 160,
  BAD_STARTMIN = 161,
  BAD_STARTTIME = 162,
  BAD_STARTDAY = 163,
  BAD_STARTMONTH = 164,
  BAD_STARTYEAR = 165,
  BAD_STARTDATE = 166,
  BAD_ENDHOUR = 167,
  BAD_ENDMIN = 168,
  BAD_ENDTIME = 169,
  BAD_ENDDAY = 170,
  BAD_ENDMONTH = 171,
  BAD_ENDYEAR = 172,
  BAD_ENDDATE = 173,
  BAD_SET = 174,
  BAD_EVENT = 175,
  BAD_DATA_PARAM = 176,
  BAD_DATA_PARAM1 = 177,
  BAD_DATA_PARAM2 = 178,
  BAD_DATA_PARAM3 = 179,
  BAD_DATA_PARAM4 = 180,
  BAD_DATE = 181,
  BAD_DAY = 182,
  BAD_DATA_POINTER = 183,
  BAD_MONTH = 184,
  BAD_PERIOD = 185,
  BAD_FILE_NAME = 186,
  FILE_OPEN_FAILED = 187,
  BAD_GEOGRAPHICAL_PARAMS = 188,
  FIRST_WARNING = 225,
  ENDDATE_EARLIER = 225,
};

// True for the codes that end an operation: errors and warnings alike.
constexpr bool isFailure(ResultCode code) {
  return code >= FIRST_ERROR;
}

}  // namespace quillmar::planprobe
