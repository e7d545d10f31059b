// JSON-RPC 2.0 as the Language Server Protocol uses it: a frame's body read as a request, a
// notification or a response, and the messages the server writes, with the error codes.
//
// lsp/ is the language server's protocol, free of schedules: frames, messages and their error
// codes, the lifecycle, positions in UTF-16, UTF-8 and bytes, the open documents and their edits,
// and the input read on a thread of its own. It uses platform/ and nlohmann-json; the server
// (server/) stands on it, and nothing here knows of it.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

namespace quillmar::lsp {

// The error codes a response may carry, with their protocol values.
enum class ErrorCode : int {
  ParseError = -32700,
  InvalidRequest = -32600,
  MethodNotFound = -32601,
  InvalidParams = -32602,
  InternalError = -32603,
  ServerNotInitialized = -32002,
  RequestFailed = -32803,
  ServerCancelled = -32802,
  ContentModified = -32801,
  RequestCancelled = -32800,
};

// The code's name as the protocol spells it ("ParseError").
std::string_view errorName(ErrorCode code);
// The message an error response carries when the caller gives none.
std::string_view defaultMessage(ErrorCode code);

// One message the client sent. A Request has an id (integer or string) and a method; a
// Notification has a method only; a Response has the id of the request it answers and its
// result (`params`) or its `error` object.
struct Message {
  enum class Kind { Request, Notification, Response } kind = Kind::Notification;
  nlohmann::json id;      // null for a notification
  std::string method;     // empty for a response
  nlohmann::json params;  // the params (null when absent), or a response's result
  nlohmann::json error;   // a response's error object; null otherwise
};

// `body` read as one message, or the error response to send for it: ParseError (id null) when
// it is no JSON, InvalidRequest when it is JSON but no message (a batch among them).
std::variant<Message, nlohmann::json> parseMessage(std::string_view body);

// The response to request `id` with its result.
nlohmann::json response(const nlohmann::json& id, nlohmann::json result);
// The error response to request `id`; an empty message stands for the code's default one.
nlohmann::json errorResponse(const nlohmann::json& id, ErrorCode code, std::string message = {});
// A notification from the server.
nlohmann::json notification(std::string_view method, nlohmann::json params);
// A request from the server to the client.
nlohmann::json request(const nlohmann::json& id, std::string_view method, nlohmann::json params);

// `message` as compact JSON text. Invalid UTF-8 in its strings (a document may hold any bytes)
// becomes U+FFFD rather than an exception.
std::string serialise(const nlohmann::json& message);

}  // namespace quillmar::lsp
