// Columns between bytes, UTF-8 and UTF-16, and the line index over a text.
#include "lsp/positions.h"

#include <algorithm>
#include <array>

namespace quillmar::lsp {

namespace {

struct EncodingName {
  PositionEncoding encoding;
  std::string_view name;
};

constexpr std::array kEncodings{
    EncodingName{PositionEncoding::Utf16, "utf-16"},
    EncodingName{PositionEncoding::Utf8, "utf-8"},
};

// Whether byte `at` of `text` lies in [low, high].
bool byteIn(std::string_view text, std::size_t at, unsigned low, unsigned high) {
  if (at >= text.size()) {
    return false;
  }
  const auto b = static_cast<unsigned char>(text[at]);
  return b >= low && b <= high;
}

// The length of the well-formed UTF-8 sequence at `at` (which lies in `text`); 1 for a byte that
// starts none, which then stands for one character of its own.
std::size_t sequenceAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  // The second byte's range narrows for some leads: no overlong forms, no surrogates, nothing
  // beyond U+10FFFF.
  unsigned low = 0x80;
  unsigned high = 0xBF;
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : low;
    high = lead == 0xED ? 0x9F : high;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : low;
    high = lead == 0xF4 ? 0x8F : high;
  }
  if (length == 1 || !byteIn(text, at + 1, low, high)) {
    return 1;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if (!byteIn(text, at + i, 0x80, 0xBF)) {
      return 1;
    }
  }
  return length;
}

// The code units a sequence of `length` bytes takes in `encoding`.
uint32_t unitsOf(std::size_t length, PositionEncoding encoding) {
  if (encoding == PositionEncoding::Utf8) {
    return static_cast<uint32_t>(length);
  }
  return length == 4 ? 2 : 1;
}

}  // namespace

std::string_view encodingName(PositionEncoding encoding) {
  return std::find_if(kEncodings.begin(), kEncodings.end(),
                      [&](const EncodingName& e) { return e.encoding == encoding; })
      ->name;
}

PositionEncoding chooseEncoding(const nlohmann::json& clientCapabilities) {
  const auto utf8 = nlohmann::json(encodingName(PositionEncoding::Utf8));
  const auto general = clientCapabilities.is_object() ? clientCapabilities.find("general")
                                                      : clientCapabilities.end();
  if (general == clientCapabilities.end() || !general->is_object()) {
    return PositionEncoding::Utf16;
  }
  const auto offered = general->find("positionEncodings");
  if (offered == general->end() || !offered->is_array()) {
    return PositionEncoding::Utf16;
  }
  const bool hasUtf8 = std::find(offered->begin(), offered->end(), utf8) != offered->end();
  return hasUtf8 ? PositionEncoding::Utf8 : PositionEncoding::Utf16;
}

uint32_t columnOf(std::string_view lineText, std::size_t bytes, PositionEncoding encoding) {
  const auto end = std::min(bytes, lineText.size());
  uint32_t units = 0;
  for (std::size_t at = 0; at < end;) {
    const auto length = sequenceAt(lineText, at);
    if (at + length > end) {
      break;  // inside a character: its start
    }
    units += unitsOf(length, encoding);
    at += length;
  }
  return units;
}

std::size_t bytesOf(std::string_view lineText, uint32_t character, PositionEncoding encoding) {
  uint32_t units = 0;
  std::size_t at = 0;
  while (at < lineText.size()) {
    const auto length = sequenceAt(lineText, at);
    const auto more = unitsOf(length, encoding);
    if (units + more > character) {
      break;
    }
    units += more;
    at += length;
  }
  return at;
}

LineIndex::LineIndex(std::string_view text) : text_(text), starts_{0} {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\n' || (text[at] == '\r' && (at + 1 == text.size() || text[at + 1] != '\n'))) {
      starts_.push_back(at + 1);
    }
  }
}

std::string_view LineIndex::lineText(uint32_t line) const {
  if (line >= starts_.size()) {
    return {};
  }
  const auto begin = starts_[line];
  auto end = text_.size();
  if (line + 1 < starts_.size()) {
    end = starts_[line + 1] - 1;
    if (text_[end] == '\n' && end > begin && text_[end - 1] == '\r') {
      --end;
    }
  }
  return text_.substr(begin, end - begin);
}

std::size_t LineIndex::offsetAt(Position position, PositionEncoding encoding) const {
  if (position.line >= starts_.size()) {
    return text_.size();
  }
  return starts_[position.line] + bytesOf(lineText(position.line), position.character, encoding);
}

Position LineIndex::positionAt(std::size_t offset, PositionEncoding encoding) const {
  offset = std::min(offset, text_.size());
  const auto next = std::upper_bound(starts_.begin(), starts_.end(), offset);
  const auto line = static_cast<uint32_t>(next - starts_.begin() - 1);
  const auto text = lineText(line);
  const auto inLine = std::min(offset - starts_[line], text.size());
  return {line, columnOf(text, inLine, encoding)};
}

}  // namespace quillmar::lsp
