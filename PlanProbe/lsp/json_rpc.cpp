// Reading JSON-RPC messages defensively, writing them, and the error codes' one table.
#include "lsp/json_rpc.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quillmar::lsp {

namespace {

using nlohmann::json;

struct ErrorInfo {
  ErrorCode code;
  std::string_view name;
  std::string_view message;
};

constexpr std::array kErrors{
    ErrorInfo{ErrorCode::ParseError, "ParseError", "the message is no valid JSON"},
    ErrorInfo{ErrorCode::InvalidRequest, "InvalidRequest", "the message is no valid request"},
    ErrorInfo{ErrorCode::MethodNotFound, "MethodNotFound", "no such method"},
    ErrorInfo{ErrorCode::InvalidParams, "InvalidParams", "the params do not fit the method"},
    ErrorInfo{ErrorCode::InternalError, "InternalError", "the server failed inside"},
    ErrorInfo{ErrorCode::ServerNotInitialized, "ServerNotInitialized",
              "the server is not initialized yet"},
    ErrorInfo{ErrorCode::RequestFailed, "RequestFailed", "the request failed"},
    ErrorInfo{ErrorCode::ServerCancelled, "ServerCancelled", "the server cancelled the request"},
    ErrorInfo{ErrorCode::ContentModified, "ContentModified",
              "the document changed while the request ran"},
    ErrorInfo{ErrorCode::RequestCancelled, "RequestCancelled", "the client cancelled the request"},
};

// The table's entry for `code`.
const ErrorInfo& infoOf(ErrorCode code) {
  return *std::find_if(kErrors.begin(), kErrors.end(),
                       [&](const ErrorInfo& e) { return e.code == code; });
}

// Whether `id` is an id a request may carry: an integer or a string.
bool validRequestId(const json& id) {
  return id.is_number_integer() || id.is_string();
}

// The InvalidRequest response for a message, answered under `id` when that is usable.
json invalid(const json& id, std::string message) {
  return errorResponse(validRequestId(id) ? id : json(), ErrorCode::InvalidRequest,
                       std::move(message));
}

// Deeper JSON than this is no message of the protocol's; the limit keeps the copies and the
// output of messages, which recurse, well within the stack.
constexpr int kMaxDepth = 64;

// The member `key` of `object`, moved out of it, or null when it is absent.
json take(json& object, const char* key) {
  const auto it = object.find(key);
  return it == object.end() ? json() : std::move(*it);
}

// `body` as JSON; discarded when it is none or nests deeper than kMaxDepth (`tooDeep` says so).
json parsedBody(std::string_view body, bool& tooDeep) {
  tooDeep = false;
  const json::parser_callback_t watch = [&](int depth, json::parse_event_t, json&) {
    tooDeep = tooDeep || depth > kMaxDepth;
    return !tooDeep;
  };
  return json::parse(body.begin(), body.end(), watch, false);
}

// `object`, known to hold no method, as a response.
std::variant<Message, json> asResponse(json& object, bool hasId, json id) {
  const bool hasResult = object.contains("result");
  const bool hasError = object.contains("error");
  if (!hasId || !(validRequestId(id) || id.is_null())) {
    return invalid(id, "a message without a method needs the id of a request");
  }
  if (hasResult == hasError) {
    return invalid(id, "a response carries either a result or an error");
  }
  auto error = take(object, "error");
  if (hasError && !error.is_object()) {
    return invalid(id, "a response's error is an object");
  }
  return Message{
      Message::Kind::Response, std::move(id), {}, take(object, "result"), std::move(error)};
}

}  // namespace

std::string_view errorName(ErrorCode code) {
  return infoOf(code).name;
}

std::string_view defaultMessage(ErrorCode code) {
  return infoOf(code).message;
}

std::variant<Message, json> parseMessage(std::string_view body) {
  bool tooDeep = false;
  auto parsed = parsedBody(body, tooDeep);
  if (tooDeep) {
    return invalid(json(), "the message nests deeper than 64 levels");
  }
  if (parsed.is_discarded()) {
    return errorResponse(json(), ErrorCode::ParseError);
  }
  if (parsed.is_array()) {
    return invalid(json(), "batches are not part of the protocol");
  }
  if (!parsed.is_object()) {
    return invalid(json(), "a message is a JSON object");
  }
  const bool hasId = parsed.contains("id");
  auto id = take(parsed, "id");
  if (take(parsed, "jsonrpc") != "2.0") {
    return invalid(id, "the message lacks \"jsonrpc\": \"2.0\"");
  }
  if (!parsed.contains("method")) {
    return asResponse(parsed, hasId, std::move(id));
  }
  const auto method = take(parsed, "method");
  if (!method.is_string()) {
    return invalid(id, "the method is a string");
  }
  if (hasId && !validRequestId(id)) {
    return invalid(id, "a request's id is an integer or a string");
  }
  auto params = take(parsed, "params");
  if (!params.is_null() && !params.is_object() && !params.is_array()) {
    return invalid(id, "params are an object or an array");
  }
  const auto kind = hasId ? Message::Kind::Request : Message::Kind::Notification;
  return Message{kind, std::move(id), method.get<std::string>(), std::move(params), {}};
}

json response(const json& id, json result) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

json errorResponse(const json& id, ErrorCode code, std::string message) {
  if (message.empty()) {
    message = defaultMessage(code);
  }
  return {{"jsonrpc", "2.0"},
          {"id", id},
          {"error", {{"code", static_cast<int>(code)}, {"message", std::move(message)}}}};
}

json notification(std::string_view method, json params) {
  return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

json request(const json& id, std::string_view method, json params) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}};
}

std::string serialise(const json& message) {
  return message.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace quillmar::lsp
