// Writes result codes to the results log in the form the log's readers know.
#pragma once

#include "log/results_log.h"
#include "schedule/result_code.h"

namespace quillmar::planprobe {

// Writes `code` to `log` behind a line feed and, when given, the context text (in practice the
// schedule line number). Errors and warnings end with a line feed and set the log's error flag;
// responses are written as a number without a line feed; NOT_TODAY writes nothing.
void reportResult(ResultsLog& log, ResultCode code, const char* context);

}  // namespace quillmar::planprobe
