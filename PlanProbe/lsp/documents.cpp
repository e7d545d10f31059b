// The open documents and the edits the client makes to them.
#include "lsp/documents.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace quillmar::lsp {

namespace {

using nlohmann::json;

// The member `key` of `object`, or null when `object` is no object or lacks it.
const json* memberOf(const json& object, const char* key) {
  if (!object.is_object()) {
    return nullptr;
  }
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

// The string member `key` of `object`, or null.
const std::string* stringOf(const json& object, const char* key) {
  const auto* value = memberOf(object, key);
  return value && value->is_string() ? value->get_ptr<const std::string*>() : nullptr;
}

// The integer member `key` of `object`, or nothing.
std::optional<int64_t> integerOf(const json& object, const char* key) {
  const auto* value = memberOf(object, key);
  if (!value || !value->is_number_integer()) {
    return std::nullopt;
  }
  if (value->is_number_unsigned() &&
      value->get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
    return std::numeric_limits<int64_t>::max();
  }
  return value->get<int64_t>();
}

// A position object ({line, character}, both non-negative integers), clamped to 32 bits.
std::optional<Position> positionOf(const json* value) {
  if (!value) {
    return std::nullopt;
  }
  const auto line = integerOf(*value, "line");
  const auto character = integerOf(*value, "character");
  if (!line || !character || *line < 0 || *character < 0) {
    return std::nullopt;
  }
  constexpr int64_t kMax = std::numeric_limits<uint32_t>::max();
  return Position{static_cast<uint32_t>(std::min(*line, kMax)),
                  static_cast<uint32_t>(std::min(*character, kMax))};
}

// Whether `a` comes after `b`.
bool after(Position a, Position b) {
  return a.line != b.line ? a.line > b.line : a.character > b.character;
}

// Applies one change of contentChanges to `text`; the reason when the change cannot be applied.
std::optional<std::string> apply(std::string& text, const json& change, PositionEncoding encoding) {
  const auto* newText = stringOf(change, "text");
  if (!newText) {
    return "a content change without its text";
  }
  const auto* range = memberOf(change, "range");
  if (!range) {
    text = *newText;
    return std::nullopt;
  }
  const auto start = positionOf(memberOf(*range, "start"));
  const auto end = positionOf(memberOf(*range, "end"));
  if (!start || !end) {
    return "a content change with a malformed range";
  }
  if (after(*start, *end)) {
    return "a content change whose range starts after it ends";
  }
  const LineIndex lines(text);
  const auto from = lines.offsetAt(*start, encoding);
  const auto to = lines.offsetAt(*end, encoding);
  std::string result;
  result.reserve(text.size() - (to - from) + newText->size());
  result.append(text, 0, from).append(*newText).append(text, to);
  text = std::move(result);
  return std::nullopt;
}

}  // namespace

void DocumentStore::open(Document document) {
  auto uri = document.uri;
  documents_.insert_or_assign(std::move(uri), std::move(document));
}

bool DocumentStore::close(std::string_view uri) {
  const auto it = documents_.find(uri);
  if (it == documents_.end()) {
    return false;
  }
  documents_.erase(it);
  return true;
}

const Document* DocumentStore::find(std::string_view uri) const {
  const auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : &it->second;
}

std::optional<std::string> DocumentStore::change(std::string_view uri, int64_t version,
                                                 const json& contentChanges,
                                                 PositionEncoding encoding) {
  const auto it = documents_.find(uri);
  if (it == documents_.end()) {
    return "no open document " + std::string(uri);
  }
  if (!contentChanges.is_array()) {
    return std::string("contentChanges is no array");
  }
  std::string text = it->second.text;
  for (const auto& change : contentChanges) {
    if (auto problem = apply(text, change, encoding)) {
      return problem;
    }
  }
  // A text that shrank gives its memory back, so that memory stays flat across versions (a move
  // assignment would keep the old buffer when the new text is short).
  text.shrink_to_fit();
  it->second.text.swap(text);
  it->second.version = version;
  return std::nullopt;
}

std::variant<Document, std::string> openedDocument(const json& params) {
  const auto* item = memberOf(params, "textDocument");
  const auto* uri = item ? stringOf(*item, "uri") : nullptr;
  const auto* languageId = item ? stringOf(*item, "languageId") : nullptr;
  const auto version = item ? integerOf(*item, "version") : std::nullopt;
  const auto* text = item ? stringOf(*item, "text") : nullptr;
  if (!uri || !languageId || !version || !text) {
    return std::string("didOpen needs a textDocument with uri, languageId, version and text");
  }
  return Document{*uri, *languageId, *version, *text};
}

std::optional<std::string> documentUri(const json& params) {
  const auto* identifier = memberOf(params, "textDocument");
  const auto* uri = identifier ? stringOf(*identifier, "uri") : nullptr;
  return uri ? std::optional<std::string>(*uri) : std::nullopt;
}

std::optional<std::string> applyChange(DocumentStore& store, const json& params,
                                       PositionEncoding encoding) {
  const auto uri = documentUri(params);
  const auto* identifier = memberOf(params, "textDocument");
  const auto version = identifier ? integerOf(*identifier, "version") : std::nullopt;
  const auto* changes = memberOf(params, "contentChanges");
  if (!uri || !version || !changes) {
    return std::string("didChange needs a textDocument with uri and version, and contentChanges");
  }
  return store.change(*uri, *version, *changes, encoding);
}

}  // namespace quillmar::lsp
