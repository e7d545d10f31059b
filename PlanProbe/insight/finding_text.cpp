#include "insight/finding_text.h"

#include <algorithm>
#include <ostream>

namespace quillmar::planprobe {

FindingText DescribeFinding(ResultCode code) {
  const bool warning = code >= FIRST_WARNING;
  if (const ResultCodeText* text = findResultCode(code)) {
    return {std::string(text->name), text->explanation, warning};
  }
  // Codes without a message of their own, as the log shows them.
  return {(warning               ? "WARNING_"
           : code >= FIRST_ERROR ? "ERROR_"
                                 : "RESPONSE_") +
              std::to_string(code),
          "the unit reports this code without a message of its own", warning};
}

PhysicalLines::PhysicalLines(std::string_view text) : text_(text) {
  starts_.push_back(0);
  for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) {
    starts_.push_back(at + 1);
  }
}

SourcePlace PhysicalLines::placeOf(size_t offset) const {
  offset = std::min(offset, text_.size());
  const auto next = std::upper_bound(starts_.begin(), starts_.end(), offset);
  const size_t start = *(next - 1);
  const size_t end = next == starts_.end() ? text_.size() : *next - 1;
  std::string_view line = text_.substr(start, end - start);
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  return {static_cast<uint32_t>(next - starts_.begin()), static_cast<uint32_t>(offset - start + 1),
          line};
}

std::vector<uint32_t> PhysicalLineNumbers(const ParsedSchedule& parsed, std::string_view text) {
  const PhysicalLines lines(text);
  std::vector<uint32_t> physical;
  for (const ParsedLine& line : parsed.lines) {
    if (physical.size() <= line.number) {
      physical.resize(line.number + 1, 0);
    }
    physical[line.number] = lines.placeOf(line.start).line;
  }
  return physical;
}

void WriteDiagnostics(std::ostream& out, const std::string& file,
                      const std::vector<Finding>& findings, std::string_view sourceText) {
  const PhysicalLines lines(sourceText);
  for (const Finding& finding : findings) {
    const FindingText text = DescribeFinding(finding.code);
    const SourcePlace place = lines.placeOf(finding.at);
    out << file << ':' << place.line << ':' << place.column << ": "
        << (text.warning ? "warning" : "error") << ": " << text.name << ": " << text.explanation
        << "\n  " << place.text << "\n  ";
    // Tabs stay tabs and a character of several bytes takes one place, so the caret stands
    // under the tag however the line is shown.
    for (const char c : place.text.substr(0, place.column - 1)) {
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
        out << (c == '\t' ? '\t' : ' ');
      }
    }
    out << "^\n";
  }
}

}  // namespace quillmar::planprobe
