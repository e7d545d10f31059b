// The diagnostics of one version of an open schedule: the analysis's findings, as --diagnostics
// gives them, at the blamed tag; and, once the run is over, what the run summary warns of: a
// hint (faded by editors) for a line that never runs in the span and a warning for one that is
// due but never wins its minute, pointing at the line that takes it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "lsp/positions.h"
#include "server/schedule_run.h"

namespace quillmar::planprobe {

// A fault in the options comment, at the comment.
struct OptionsFault {
  size_t from;  // bytes into the text
  size_t to;
  std::string reason;
};

// The LSP Diagnostic array for `run`, with positions in `encoding` over `lines` (the index of
// the run's text); `uri` names the document in related information.
nlohmann::json DiagnosticsOf(const ScheduleRun& run, const lsp::LineIndex& lines,
                             lsp::PositionEncoding encoding, std::string_view uri,
                             const std::optional<OptionsFault>& optionsFault);

// The LSP Diagnostic of one finding of the analysis of `run`.
nlohmann::json FindingDiagnostic(const ScheduleRun& run, const lsp::LineIndex& lines,
                                 lsp::PositionEncoding encoding, const Finding& finding);

// The LSP Range from byte `from` to byte `to` of the text `lines` indexes.
nlohmann::json RangeOf(const lsp::LineIndex& lines, lsp::PositionEncoding encoding, size_t from,
                       size_t to);

// Where the field that begins at byte `at` of `text` ends: at the first blank, tab, line end or
// comment outside a quoted text.
size_t FieldEnd(std::string_view text, size_t at);

}  // namespace quillmar::planprobe
