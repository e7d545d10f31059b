// The server's messages to the client, each as one frame, written whole and flushed at once so
// that the client never waits for a buffered reply. Only one thread sends.
#pragma once

#include <iosfwd>

#include <nlohmann/json.hpp>

namespace quillmar::lsp {

// Frames and writes messages to a stream.
class Outgoing {
 public:
  explicit Outgoing(std::ostream& out);

  // Writes `message` as one frame and flushes; false when the stream failed (the client is gone).
  bool send(const nlohmann::json& message);

 private:
  std::ostream& out_;
};

}  // namespace quillmar::lsp
