// What the server's state allows of each message.
#include "lsp/lifecycle.h"

#include <string_view>

namespace quillmar::lsp {

namespace {

constexpr std::string_view kInitialize = "initialize";
constexpr std::string_view kExit = "exit";

}  // namespace

std::optional<nlohmann::json> Lifecycle::refusal(const Message& message) const {
  if (message.kind != Message::Kind::Request) {
    return std::nullopt;
  }
  const bool initialize = message.method == kInitialize;
  switch (state_) {
    case State::BeforeInitialize:
      if (initialize) {
        return std::nullopt;
      }
      return errorResponse(message.id, ErrorCode::ServerNotInitialized);
    case State::Running:
      if (!initialize) {
        return std::nullopt;
      }
      return errorResponse(message.id, ErrorCode::InvalidRequest, "the server is initialized");
    case State::ShutDown:
    case State::Exited:
      break;
  }
  return errorResponse(message.id, ErrorCode::InvalidRequest, "the server is shut down");
}

bool Lifecycle::drops(const Message& message) const {
  return message.kind == Message::Kind::Notification && state_ != State::Running &&
         message.method != kExit;
}

void Lifecycle::initialized() {
  if (state_ == State::BeforeInitialize) {
    state_ = State::Running;
  }
}

void Lifecycle::shutdown() {
  if (state_ != State::Exited) {
    state_ = State::ShutDown;
    shutDown_ = true;
  }
}

void Lifecycle::exit() {
  state_ = State::Exited;
}

int Lifecycle::exitStatus() const {
  return shutDown_ ? 0 : 1;
}

}  // namespace quillmar::lsp
