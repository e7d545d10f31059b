#include "server/editor_answers.h"

#include <algorithm>

#include "assist/completion.h"
#include "assist/outline.h"
#include "assist/quick_fix.h"
#include "server/diagnostics.h"

namespace quillmar::planprobe {

namespace {

using nlohmann::json;

// LSP's CompletionItemKind for each kind of word, and its SymbolKind values.
int completionKind(CompletionKind kind) {
  switch (kind) {
    case CompletionKind::Tag:
      return 10;  // Property
    case CompletionKind::EventKeyword:
      return 14;  // Keyword
    case CompletionKind::Period:
    case CompletionKind::Set:
      return 20;  // EnumMember
    case CompletionKind::TimeWord:
      return 21;  // Constant
  }
  return 1;  // Text
}
constexpr int kSectionSymbol = 3;  // Namespace
constexpr int kEventSymbol = 24;   // Event

// The byte offset of the request's position.
size_t offsetOf(const json& params, const lsp::LineIndex& lines, lsp::PositionEncoding encoding) {
  const json& position = params.at("position");
  return lines.offsetAt(
      {position.at("line").get<uint32_t>(), position.at("character").get<uint32_t>()}, encoding);
}

json completion(const json& params, const ScheduleRun& run, const lsp::LineIndex& lines,
                lsp::PositionEncoding encoding) {
  const size_t offset = offsetOf(params, lines, encoding);
  json items = json::array();
  for (const CompletionItem& item : CompletionsAt(run.text(), offset)) {
    items.push_back({{"label", item.label},
                     {"kind", completionKind(item.kind)},
                     {"detail", item.detail},
                     {"textEdit",
                      {{"range", RangeOf(lines, encoding, item.replaceFrom, offset)},
                       {"newText", item.insertText}}}});
  }
  return items;
}

json symbolOf(const OutlineSymbol& symbol, const lsp::LineIndex& lines,
              lsp::PositionEncoding encoding) {
  return {{"name", symbol.name},
          {"detail", symbol.detail},
          {"kind", kEventSymbol},
          {"range", RangeOf(lines, encoding, symbol.start, symbol.end)},
          {"selectionRange", RangeOf(lines, encoding, symbol.nameStart, symbol.nameEnd)}};
}

json outline(const ScheduleRun& run, const lsp::LineIndex& lines, lsp::PositionEncoding encoding) {
  json symbols = json::array();
  for (const OutlineSection& section : OutlineOf(run.text())) {
    json children = json::array();
    for (const OutlineSymbol& symbol : section.events) {
      children.push_back(symbolOf(symbol, lines, encoding));
    }
    if (section.name.empty()) {
      // The events before the first heading stand at the top.
      for (json& child : children) {
        symbols.push_back(std::move(child));
      }
      continue;
    }
    const size_t headingEnd = std::min(run.text().find('\n', section.start), section.end);
    symbols.push_back({{"name", section.name},
                       {"kind", kSectionSymbol},
                       {"range", RangeOf(lines, encoding, section.start, section.end)},
                       {"selectionRange", RangeOf(lines, encoding, section.start, headingEnd)},
                       {"children", std::move(children)}});
  }
  return symbols;
}

json quickFixes(const json& params, const ScheduleRun& run, const lsp::LineIndex& lines,
                lsp::PositionEncoding encoding, std::string_view uri) {
  const json& range = params.at("range");
  const uint32_t first = range.at("start").at("line").get<uint32_t>();
  const uint32_t last = range.at("end").at("line").get<uint32_t>();
  json actions = json::array();
  for (const Finding& finding : run.findings()) {
    const uint32_t line = lines.positionAt(finding.at, encoding).line;
    if (line < first || line > last) {
      continue;
    }
    const std::optional<TextMend> mend = MendFor(run.text(), finding);
    if (!mend) {
      continue;
    }
    json edit = {{"range", RangeOf(lines, encoding, mend->from, mend->to)},
                 {"newText", mend->replacement}};
    actions.push_back({{"title", mend->title},
                       {"kind", "quickfix"},
                       {"isPreferred", true},
                       {"diagnostics", {FindingDiagnostic(run, lines, encoding, finding)}},
                       {"edit", {{"changes", {{std::string(uri), {edit}}}}}}});
  }
  return actions;
}

}  // namespace

bool IsTextRequest(std::string_view method) {
  return method == "textDocument/completion" || method == "textDocument/documentSymbol" ||
         method == "textDocument/codeAction";
}

json AnswerTextRequest(std::string_view method, const json& params, const ScheduleRun& run,
                       const lsp::LineIndex& lines, lsp::PositionEncoding encoding,
                       std::string_view uri) {
  if (method == "textDocument/completion") {
    return completion(params, run, lines, encoding);
  }
  if (method == "textDocument/documentSymbol") {
    return outline(run, lines, encoding);
  }
  return quickFixes(params, run, lines, encoding, uri);
}

}  // namespace quillmar::planprobe
