// Writing framed messages.
#include "lsp/outgoing.h"

#include <ostream>

#include "lsp/framing.h"
#include "lsp/json_rpc.h"

namespace quillmar::lsp {

Outgoing::Outgoing(std::ostream& out) : out_(out) {}

bool Outgoing::send(const nlohmann::json& message) {
  const auto framed = frame(serialise(message));
  out_.write(framed.data(), static_cast<std::streamsize>(framed.size()));
  out_.flush();
  return static_cast<bool>(out_);
}

}  // namespace quillmar::lsp
