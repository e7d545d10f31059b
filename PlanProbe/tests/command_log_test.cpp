#include "session/command_log.h"

#include <gtest/gtest.h>

#include "tests/simulation_test_support.h"

namespace quillmar::planprobe {
namespace {

using testing::crlf;
using testing::makeEvent;
using testing::setParam;
using testing::setValueParam;

TEST(ExecuteEvent, CommandLineByKind) {
  struct Row {
    const char* name;
    ScheduleEvent event;
    bool doubleOccupancy;
    ResultCode result;
    std::string log;
  };
  ScheduleEvent start = makeEvent(STARTSEQUENCE, 1, 1, 0, 2, 0);
  setValueParam(start, 0, 10);
  ScheduleEvent send = makeEvent(SENDSTRING, 1, 1, 0, 7, 5);
  setParam(send, 0, "AT+X");
  setParam(send, 1, "OK");
  setValueParam(send, 2, 3);
  setValueParam(send, 3, 5);
  ScheduleEvent bareSend = makeEvent(SENDSTRING, 1, 1, 0, 7, 5);
  setParam(bareSend, 0, "PING");
  ScheduleEvent setVar = makeEvent(SETVAREQ, 1, 1, 0, 23, 59);
  setValueParam(setVar, 0, 4);
  setValueParam(setVar, 1, 200);
  ScheduleEvent on = makeEvent(ON, 1, 1, 0, 0, 0);
  setParam(on, 0, "5");  // a text item counts by its first byte
  ScheduleEvent off = makeEvent(OFF, 1, 1, 0, 12, 30);
  ScheduleEvent page = makeEvent(DEFAULTWEBPAGE, 1, 1, 0, 6, 6);
  setParam(page, 0, "index.htm");
  ScheduleEvent bareOn = makeEvent(ON, 1, 1, 0, 1, 2);
  ScheduleEvent barePage = makeEvent(DEFAULTWEBPAGE, 1, 1, 0, 1, 2);
  ScheduleEvent stop = makeEvent(STOP, 1, 1, 0, 1, 2);
  setValueParam(stop, 0, 1);
  const Row rows[] = {
      {"start sequence", start, false, SUCCESS, " (02:00 starttime) ElvaneStartSequence: 10"},
      {"double occupancy mark", start, true, SUCCESS, "D(02:00 starttime) ElvaneStartSequence: 10"},
      {"send string block", send, false, SUCCESS,
       " (07:05 starttime) ElvaneSendString: AT+X\n             Ack: OK\n         Retries: 3\n"
       "         Timeout: 5\n"},
      {"send string without ack, retries, timeout", bareSend, false, SUCCESS,
       " (07:05 starttime) ElvaneSendString: PING\n             Ack: (null)\n         Retries: 0\n"
       "         Timeout: 0\n"},
      {"set variable, unsigned values", setVar, false, SUCCESS,
       " (23:59 starttime) ElvaneSetVarEQ: 4 200"},
      {"on", on, false, SUCCESS, " (00:00 starttime) ElvaneOn: 53"},
      {"off without parameter", off, false, SUCCESS, " (12:30 starttime) ElvaneOff: 0"},
      {"default web page", page, false, SUCCESS,
       " (06:06 starttime) ElvaneDefaultWebPage: index.htm"},
      {"on without parameter", bareOn, true, SUCCESS, "D(01:02 starttime) ElvaneOn: 0"},
      {"web page without parameter", barePage, false, SUCCESS,
       " (01:02 starttime) ElvaneDefaultWebPage: (null)"},
      {"stop", stop, true, NO_MATCH, ""},
      {"reset", makeEvent(RESET, 1, 1, 0, 1, 2), false, NO_MATCH, ""},
      {"pause", makeEvent(PAUSE, 1, 1, 0, 1, 2), false, NO_MATCH, ""},
      {"no kind", makeEvent(0, 1, 1, 0, 1, 2), false, NO_MATCH, ""},
      {"kind beyond the table", makeEvent(60, 1, 1, 0, 1, 2), false, NO_MATCH, ""},
  };
  // Each event runs twice, the second time with the other mark: the line is made once and
  // repeated, and only the mark follows the minute.
  for (const Row& row : rows) {
    std::string out;
    ResultCode results[2];
    {
      ResultsLog log(std::make_unique<StringSink>(out));
      results[0] = ExecuteEvent(log, &row.event, row.doubleOccupancy);
      results[1] = ExecuteEvent(log, &row.event, !row.doubleOccupancy);
      EXPECT_FALSE(log.errorSeen()) << row.name;
    }
    std::string again = row.log;
    if (!again.empty()) {
      again[0] = row.doubleOccupancy ? ' ' : 'D';
    }
    EXPECT_EQ(results[0], row.result) << row.name;
    EXPECT_EQ(results[1], row.result) << row.name;
    EXPECT_EQ(out, crlf(row.log + again)) << row.name;
  }
}

TEST(ExecuteEvent, TheLineFollowsAChangedStartTime) {
  ScheduleEvent on = makeEvent(ON, 1, 1, 0, 2, 0);
  setValueParam(on, 0, 7);
  std::string out;
  {
    ResultsLog log(std::make_unique<StringSink>(out));
    ExecuteEvent(log, &on, false);
    on.startHour = 3;
    ExecuteEvent(log, &on, false);
    on.startMinute = 1;
    ExecuteEvent(log, &on, false);
  }
  EXPECT_EQ(out,
            " (02:00 starttime) ElvaneOn: 7 (03:00 starttime) ElvaneOn: 7 (03:01 starttime) "
            "ElvaneOn: 7");
}

TEST(ExecuteEvent, NoEventWritesNothing) {
  std::string out;
  {
    ResultsLog log(std::make_unique<StringSink>(out));
    EXPECT_EQ(ExecuteEvent(log, nullptr, true), BAD_EVENT_POINTER);
  }
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace quillmar::planprobe
