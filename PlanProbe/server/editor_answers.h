// The answers that need only the analysis of a schedule's text, not its run: completion, the
// outline (document symbols) and the quick fixes (code actions), from the writing help of
// assist/ turned into the protocol's shapes.
#pragma once

#include <string_view>

#include <nlohmann/json.hpp>

#include "lsp/positions.h"
#include "server/schedule_run.h"

namespace quillmar::planprobe {

// True for the requests AnswerTextRequest answers.
bool IsTextRequest(std::string_view method);

// The result of the request `method` with `params` on the document `uri`, whose text `run`
// analysed and `lines` indexes.
nlohmann::json AnswerTextRequest(std::string_view method, const nlohmann::json& params,
                                 const ScheduleRun& run, const lsp::LineIndex& lines,
                                 lsp::PositionEncoding encoding, std::string_view uri);

}  // namespace quillmar::planprobe
