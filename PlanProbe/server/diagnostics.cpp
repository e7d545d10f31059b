#include "server/diagnostics.h"

#include "insight/finding_text.h"
#include "insight/run_summary.h"

namespace quillmar::planprobe {

namespace {

// LSP's DiagnosticSeverity and DiagnosticTag values.
enum Severity { kError = 1, kWarning = 2, kHint = 4 };
constexpr int kUnnecessary = 1;
constexpr std::string_view kSource = "planprobe";

nlohmann::json positionJson(const lsp::LineIndex& lines, lsp::PositionEncoding encoding,
                            size_t offset) {
  const lsp::Position at = lines.positionAt(offset, encoding);
  return {{"line", at.line}, {"character", at.character}};
}

// Where the line that holds byte `start` of `text` ends, without its line end.
size_t lineEnd(std::string_view text, size_t start) {
  const size_t end = text.find_first_of("\r\n", start);
  return end == std::string_view::npos ? text.size() : end;
}

// The range of the schedule line that begins on physical line `physical`; null when none does.
nlohmann::json scheduleLineRange(const ScheduleRun& run, const lsp::LineIndex& lines,
                                 lsp::PositionEncoding encoding, uint32_t physical) {
  const std::optional<LineAtPlace> line = run.lineOn(physical);
  if (!line) {
    return nullptr;
  }
  const size_t start = line->parsed->start;
  return RangeOf(lines, encoding, start, lineEnd(run.text(), start));
}

}  // namespace

nlohmann::json FindingDiagnostic(const ScheduleRun& run, const lsp::LineIndex& lines,
                                 lsp::PositionEncoding encoding, const Finding& finding) {
  const FindingText text = DescribeFinding(finding.code);
  // A finding that blames no field covers its whole line.
  const size_t end = finding.at == finding.start ? lineEnd(run.text(), finding.start)
                                                 : FieldEnd(run.text(), finding.at);
  return {{"range", RangeOf(lines, encoding, finding.at, end)},
          {"severity", text.warning ? kWarning : kError},
          {"code", text.name},
          {"source", kSource},
          {"message", std::string(text.explanation)}};
}

namespace {

// The hint or warning the run gives line `stats`; null when it has none.
nlohmann::json runDiagnostic(const ScheduleRun& run, const lsp::LineIndex& lines,
                             lsp::PositionEncoding encoding, std::string_view uri,
                             const LineStats& stats) {
  if (stats.runs > 0) {
    return nullptr;
  }
  nlohmann::json range = scheduleLineRange(run, lines, encoding, stats.line);
  if (range.is_null()) {
    return nullptr;
  }
  nlohmann::json diagnostic = {{"range", range}, {"source", kSource}};
  if (stats.losses == 0) {
    diagnostic["severity"] = kHint;
    diagnostic["tags"] = {kUnnecessary};
    diagnostic["message"] = "This line " + std::string(kNeverRan) + ".";
    return diagnostic;
  }
  diagnostic["severity"] = kWarning;
  diagnostic["message"] = "This line " + std::string(kNeverWon) + ": line " +
                          std::to_string(stats.lostTo) + " takes it.";
  nlohmann::json winner = scheduleLineRange(run, lines, encoding, stats.lostTo);
  if (!winner.is_null()) {
    diagnostic["relatedInformation"] = {
        {{"location", {{"uri", uri}, {"range", winner}}},
         {"message", "runs in the minutes line " + std::to_string(stats.line) + " is due"}}};
  }
  return diagnostic;
}

}  // namespace

nlohmann::json RangeOf(const lsp::LineIndex& lines, lsp::PositionEncoding encoding, size_t from,
                       size_t to) {
  return {{"start", positionJson(lines, encoding, from)},
          {"end", positionJson(lines, encoding, to)}};
}

size_t FieldEnd(std::string_view text, size_t at) {
  bool quoted = false;
  for (size_t i = at; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else if (c == '\n') {
        return i;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';') {
      return i;
    }
  }
  return text.size();
}

nlohmann::json DiagnosticsOf(const ScheduleRun& run, const lsp::LineIndex& lines,
                             lsp::PositionEncoding encoding, std::string_view uri,
                             const std::optional<OptionsFault>& optionsFault) {
  nlohmann::json out = nlohmann::json::array();
  if (optionsFault) {
    out.push_back({{"range", RangeOf(lines, encoding, optionsFault->from, optionsFault->to)},
                   {"severity", kWarning},
                   {"source", kSource},
                   {"message", optionsFault->reason}});
  }
  for (const Finding& finding : run.findings()) {
    out.push_back(FindingDiagnostic(run, lines, encoding, finding));
  }
  const RunSummary* summary = run.summary();
  if (run.finished() && summary != nullptr && summary->days() > 0) {
    for (const LineStats& stats : summary->lines()) {
      if (nlohmann::json diagnostic = runDiagnostic(run, lines, encoding, uri, stats);
          !diagnostic.is_null()) {
        out.push_back(std::move(diagnostic));
      }
    }
  }
  return out;
}

}  // namespace quillmar::planprobe
