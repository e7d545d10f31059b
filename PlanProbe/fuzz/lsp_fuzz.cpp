// Feeds arbitrary bytes to the language server's input side: frames, each body as a message,
// and didOpen/didChange notifications against the open documents, in the encoding initialize
// chose. No exception may escape, and every document must stay a text the line index reads.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "lsp/documents.h"
#include "lsp/framing.h"
#include "lsp/json_rpc.h"
#include "lsp/positions.h"

namespace {

using namespace quillmar::lsp;

// Traps unless every line of `text` maps to offsets inside it and back to the same offsets.
void checkIndexable(const std::string& text, PositionEncoding encoding) {
  const LineIndex lines(text);
  for (uint32_t line = 0; line < lines.lineCount(); ++line) {
    const auto lineText = lines.lineText(line);
    for (uint32_t character = 0; character <= lineText.size() + 1; ++character) {
      const auto offset = lines.offsetAt({line, character}, encoding);
      if (offset > text.size() ||
          lines.offsetAt(lines.positionAt(offset, encoding), encoding) != offset) {
        __builtin_trap();
      }
    }
  }
  if (lines.offsetAt({static_cast<uint32_t>(lines.lineCount()), 0}, encoding) != text.size()) {
    __builtin_trap();
  }
}

// Handles one message as the server's document side would.
void interpret(const Message& message, DocumentStore& store, PositionEncoding& encoding) {
  if (message.method == "initialize" && message.params.is_object() &&
      message.params.contains("capabilities")) {
    encoding = chooseEncoding(message.params["capabilities"]);
    serialise(response(message.id, {{"positionEncoding", encodingName(encoding)}}));
  } else if (message.method == "textDocument/didOpen") {
    const auto opened = openedDocument(message.params);
    if (opened.index() == 0) {
      store.open(std::get<0>(opened));
    }
  } else if (message.method == "textDocument/didChange") {
    const auto uri = documentUri(message.params);
    const auto* before = uri ? store.find(*uri) : nullptr;
    const auto kept = before ? before->text : std::string();
    const auto problem = applyChange(store, message.params, encoding);
    const auto* after = uri ? store.find(*uri) : nullptr;
    if (problem && after && after->text != kept) {
      __builtin_trap();  // a refused change leaves the document as it was
    }
    if (after) {
      checkIndexable(after->text, encoding);
      serialise(notification("log", {{"text", after->text}}));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  FrameReader reader(in);
  DocumentStore store;
  auto encoding = PositionEncoding::Utf16;
  for (auto frame = reader.next(); frame.kind != Frame::Kind::End; frame = reader.next()) {
    if (frame.kind == Frame::Kind::BadHeader) {
      continue;
    }
    auto parsed = parseMessage(frame.body);
    if (parsed.index() == 1) {
      serialise(std::get<1>(parsed));
      continue;
    }
    interpret(std::get<0>(parsed), store, encoding);
  }
  return 0;
}
