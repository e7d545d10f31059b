// The documents the client has open: their texts as the client sees them, kept current by the
// client's full and incremental changes.
//
// A notification's changes apply in order, to a copy: when one of them cannot be applied the
// document stays as it was before the notification, and the caller gets a one-line reason.
// Positions beyond a line or the text are clamped (see positions.h); a range that starts after
// it ends is refused.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

#include "lsp/positions.h"

namespace quillmar::lsp {

// One open document.
struct Document {
  std::string uri;
  std::string languageId;
  int64_t version = 0;
  std::string text;
};

// The open documents by uri.
class DocumentStore {
 public:
  // Opens `document`, replacing one open under the same uri.
  void open(Document document);
  // Closes the document; false when it was not open.
  bool close(std::string_view uri);
  // The open document of `uri`, or null.
  const Document* find(std::string_view uri) const;
  // Applies textDocument/didChange's `contentChanges` (in `encoding`) to the document, which then
  // has `version`; the reason when the changes are not applied.
  std::optional<std::string> change(std::string_view uri, int64_t version,
                                    const nlohmann::json& contentChanges,
                                    PositionEncoding encoding);
  // How many documents are open.
  std::size_t size() const { return documents_.size(); }

 private:
  std::map<std::string, Document, std::less<>> documents_;
};

// The document of textDocument/didOpen's `params`, or why they hold none.
std::variant<Document, std::string> openedDocument(const nlohmann::json& params);
// The uri of `params`' textDocument (didChange, didClose, requests about a document), if any.
std::optional<std::string> documentUri(const nlohmann::json& params);
// textDocument/didChange's `params` applied to `store`; the reason when they are not applied.
std::optional<std::string> applyChange(DocumentStore& store, const nlohmann::json& params,
                                       PositionEncoding encoding);

}  // namespace quillmar::lsp
