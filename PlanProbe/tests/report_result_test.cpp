#include "schedule/report_result.h"

#include <gtest/gtest.h>

namespace quillmar::planprobe {
namespace {

struct Row {
  int code;
  const char* context;
  const char* text;  // as it reaches the file
  bool setsError;
};

const Row kRows[] = {
    {0, "3", "\r\n3 Reported Response Number: 0", false},
    {1, "7", "\r\n7 Reported Response Number: 1", false},
    {75, nullptr, "\r\nReported Response Number: 75", false},
    {76, "9", "", false},
    {149, "1", "\r\n1 Reported Response Number: 149", false},
    {150, "2", "\r\n2 Error: NO_MATCH\t\t\t\r\n", true},
    {152, "12", "\r\n12 Error: BAD_EVENT_POINTER\t\r\n", true},
    {155, "1", "\r\n1 Error: SCHEDULE_FILE_INVALID\r\n", true},
    {160, "12", "\r\n12 Error: BAD_STARTHOUR\t\t\r\n", true},
    {167, "4", "\r\n4 Error: BAD_ENDHOUR\t\t\t\r\n", true},
    {171, "4", "\r\n4 Error: BAD_ENDMONTH\t\t\r\n", true},
    {174, "5", "\r\n5 Error: BAD_SET\t\t\t\t\r\n", true},
    {182, "5", "\r\n5 Error: BAD_DAY\t\t\t\t\r\n", true},
    {187, nullptr, "\r\nError: FILE_OPEN_FAILED\t\r\n", true},
    {188, "8", "\r\n8 Error: BAD_GEOGRAPHICAL_PARAMS\r\n", true},
    {189, "6", "\r\n6 UnMatched Error Number: 189\r\n", true},
    {224, nullptr, "\r\nUnMatched Error Number: 224\r\n", true},
    {225, "11", "\r\n11 Warning: ENDDATE IS EARLIER THAN STARTDATE - EVENT WILL NOT BE LOADED\r\n",
     true},
    {230, "2", "\r\n2 \r\n", true},
    {255, nullptr, "\r\n\r\n", true},
};

TEST(ReportResult, LayoutAndErrorFlagForEachCodeRange) {
  for (const Row& row : kRows) {
    std::string out;
    bool seen = false;
    {
      ResultsLog log(std::make_unique<StringSink>(out));
      reportResult(log, static_cast<ResultCode>(row.code), row.context);
      seen = log.errorSeen();
    }
    EXPECT_EQ(out, row.text) << "code " << row.code;
    EXPECT_EQ(seen, row.setsError) << "code " << row.code;
  }
}

TEST(ReportResult, ErrorFlagIsNeverCleared) {
  std::string out;
  ResultsLog log(std::make_unique<StringSink>(out));
  reportResult(log, BAD_SET, "1");
  reportResult(log, SUCCESS, "2");
  reportResult(log, NOT_TODAY, "3");
  EXPECT_TRUE(log.errorSeen());
}

}  // namespace
}  // namespace quillmar::planprobe
