// The server's life as the protocol orders it: nothing but `initialize` before initialize was
// answered, every request refused after `shutdown`, and the exit status that says whether the
// client shut the server down before it told it to exit.
#pragma once

#include <optional>

#include <nlohmann/json.hpp>

#include "lsp/json_rpc.h"

namespace quillmar::lsp {

// Where the server is in its life, and what that allows.
class Lifecycle {
 public:
  enum class State { BeforeInitialize, Running, ShutDown, Exited };

  // The error response for request `message` when the state refuses it: ServerNotInitialized
  // before initialize (but for initialize itself), InvalidRequest for a second initialize and
  // for every request after shutdown. Nothing for notifications and responses.
  std::optional<nlohmann::json> refusal(const Message& message) const;
  // Whether notification `message` goes unhandled: all but exit before initialize and after
  // shutdown.
  bool drops(const Message& message) const;

  // The initialize request was answered.
  void initialized();
  // The shutdown request came.
  void shutdown();
  // The exit notification came.
  void exit();

  State state() const { return state_; }
  // The process's exit status: 0 when shutdown came before, 1 otherwise.
  int exitStatus() const;

 private:
  State state_ = State::BeforeInitialize;
  bool shutDown_ = false;
};

}  // namespace quillmar::lsp
