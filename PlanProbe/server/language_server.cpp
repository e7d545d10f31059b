#include "server/language_server.h"

#include <ctime>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "insight/finding_text.h"
#include "lsp/documents.h"
#include "lsp/framing.h"
#include "lsp/incoming.h"
#include "lsp/json_rpc.h"
#include "lsp/lifecycle.h"
#include "lsp/outgoing.h"
#include "lsp/positions.h"
#include "server/diagnostics.h"
#include "server/editor_answers.h"
#include "server/line_report.h"
#include "server/schedule_run.h"

namespace quillmar::planprobe {

namespace {

using nlohmann::json;

// A request that waits for its document's run to end.
struct WaitingRequest {
  json id;
  std::string method;
  json params;
};

// One open schedule: the run of its latest text and the requests that wait for it.
struct OpenSchedule {
  bool dirty = true;  // the text changed since the last analysis
  std::unique_ptr<ScheduleRun> run;
  std::unique_ptr<lsp::LineIndex> lines;  // over the run's text
  std::optional<OptionsFault> optionsFault;
  std::vector<WaitingRequest> waiting;
  bool published = false;  // the run's last diagnostics went out
};

class LanguageServer {
 public:
  LanguageServer(std::ostream& out, std::ostream& log, const RunSettings& defaults)
      : out_(out), log_(log), defaults_(defaults) {}

  // Serves until exit; returns the exit status.
  int serve(lsp::Incoming& incoming);

 private:
  // Handles one frame; false once the server is to exit.
  bool handle(const lsp::Frame& frame);
  void handleRequest(const lsp::Message& message);
  void handleNotification(const lsp::Message& message);
  json initialize(const json& params);
  void didOpen(const json& params);
  void didChange(const json& params);
  void didClose(const json& params);
  void didChangeConfiguration(const json& params);
  void cancel(const json& params);
  // Answers a request that needs the run of its document, now or once the run is over.
  void answerWithRun(const lsp::Message& message);
  // The answer to a request over a finished run.
  json runAnswer(const std::string& method, const json& params, OpenSchedule& open);
  // The answer to a request that needs only the analysis.
  json textAnswer(const std::string& method, const json& params, OpenSchedule& open);
  // Analyses every changed document and publishes its findings.
  void analyseChanged();
  void analyse(const std::string& uri, OpenSchedule& open);
  // Runs to their ends the runs that requests wait for, and answers those requests: a shutdown
  // leaves no request unanswered.
  void finishWaitingRuns();
  // Runs one day of one unfinished run; false when none is left.
  bool stepARun();
  void runEnded(const std::string& uri, OpenSchedule& open);
  void publish(const std::string& uri, OpenSchedule& open);
  // Answers the waiting requests of `open` with `code`.
  void refuseWaiting(OpenSchedule& open, lsp::ErrorCode code, const std::string& why);
  // The span of a document: the defaults, the client's options, then its own comment.
  RunSettings settingsFor(std::string_view text, std::optional<OptionsFault>& fault) const;
  OpenSchedule* openScheduleOf(const json& params);
  void logLine(const std::string& text) const {
    log_ << "planprobe --lsp: " << text << "\n" << std::flush;
  }

  lsp::Outgoing out_;
  std::ostream& log_;
  RunSettings defaults_;
  std::string clientOptions_;  // the client's planprobe options, as typed
  lsp::Lifecycle lifecycle_;
  lsp::PositionEncoding encoding_ = lsp::PositionEncoding::Utf16;
  lsp::DocumentStore documents_;
  std::map<std::string, OpenSchedule, std::less<>> open_;
};

// The settings the client sends, as planprobe options: {"options": "-d072402 +w2"}, also
// under the extension's or the program's name.
std::optional<std::string> optionWordsIn(const json& settings) {
  if (!settings.is_object()) {
    return std::nullopt;
  }
  for (const char* section : {"quillschedule", "planprobe"}) {
    if (const auto it = settings.find(section); it != settings.end()) {
      return optionWordsIn(*it);
    }
  }
  const auto it = settings.find("options");
  if (it != settings.end() && it->is_string()) {
    return it->get<std::string>();
  }
  return std::nullopt;
}

// The text document's uri in `params`; empty when it is missing.
std::string uriOf(const json& params) {
  return lsp::documentUri(params).value_or(std::string());
}

int LanguageServer::serve(lsp::Incoming& incoming) {
  for (;;) {
    while (std::optional<lsp::Frame> frame = incoming.tryPop()) {
      if (!handle(*frame)) {
        return lifecycle_.exitStatus();
      }
    }
    analyseChanged();
    if (stepARun()) {
      continue;
    }
    if (!handle(incoming.wait())) {
      return lifecycle_.exitStatus();
    }
  }
}

bool LanguageServer::handle(const lsp::Frame& frame) {
  switch (frame.kind) {
    case lsp::Frame::Kind::End:
      return false;
    case lsp::Frame::Kind::BadHeader:
      logLine(frame.problem);
      return true;
    case lsp::Frame::Kind::Message:
      break;
  }
  std::variant<lsp::Message, json> parsed = lsp::parseMessage(frame.body);
  if (json* refusal = std::get_if<json>(&parsed)) {
    out_.send(*refusal);
    return true;
  }
  const lsp::Message& message = std::get<lsp::Message>(parsed);
  if (message.kind == lsp::Message::Kind::Response) {
    return true;  // the server asks nothing of the client
  }
  if (message.kind == lsp::Message::Kind::Notification && message.method == "exit") {
    lifecycle_.exit();
    return false;
  }
  if (std::optional<json> refusal = lifecycle_.refusal(message)) {
    out_.send(*refusal);
    return true;
  }
  if (message.kind == lsp::Message::Kind::Notification && lifecycle_.drops(message)) {
    return true;
  }
  try {
    if (message.kind == lsp::Message::Kind::Request) {
      handleRequest(message);
    } else {
      handleNotification(message);
    }
  } catch (const json::exception& error) {
    // A message whose parameters have the wrong shape: refused, and the server goes on.
    logLine(std::string("bad parameters of ") + message.method + ": " + error.what());
    if (message.kind == lsp::Message::Kind::Request) {
      out_.send(lsp::errorResponse(message.id, lsp::ErrorCode::InvalidParams, error.what()));
    }
  }
  return true;
}

void LanguageServer::handleRequest(const lsp::Message& message) {
  const std::string& method = message.method;
  if (method == "initialize") {
    out_.send(lsp::response(message.id, initialize(message.params)));
    lifecycle_.initialized();
  } else if (method == "shutdown") {
    finishWaitingRuns();
    lifecycle_.shutdown();
    out_.send(lsp::response(message.id, nullptr));
  } else if (method == "textDocument/hover" || method == "textDocument/codeLens") {
    answerWithRun(message);
  } else if (IsTextRequest(method)) {
    OpenSchedule* open = openScheduleOf(message.params);
    if (open != nullptr) {
      analyseChanged();
    }
    out_.send(lsp::response(
        message.id, open != nullptr ? textAnswer(method, message.params, *open) : json(nullptr)));
  } else {
    out_.send(lsp::errorResponse(message.id, lsp::ErrorCode::MethodNotFound,
                                 "planprobe does not answer " + method));
  }
}

void LanguageServer::handleNotification(const lsp::Message& message) {
  const std::string& method = message.method;
  if (method == "textDocument/didOpen") {
    didOpen(message.params);
  } else if (method == "textDocument/didChange") {
    didChange(message.params);
  } else if (method == "textDocument/didClose") {
    didClose(message.params);
  } else if (method == "workspace/didChangeConfiguration") {
    didChangeConfiguration(message.params);
  } else if (method == "$/cancelRequest") {
    cancel(message.params);
  }
  // Every other notification (didSave, $/setTrace, ...) asks nothing of this server.
}

json LanguageServer::initialize(const json& params) {
  const json capabilities = params.value("capabilities", json::object());
  encoding_ = lsp::chooseEncoding(capabilities);
  if (std::optional<std::string> words =
          optionWordsIn(params.value("initializationOptions", json()))) {
    clientOptions_ = *words;
  }
  return {{"capabilities",
           {{"positionEncoding", lsp::encodingName(encoding_)},
            {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
            {"hoverProvider", true},
            {"codeLensProvider", {{"resolveProvider", false}}},
            {"completionProvider", {{"triggerCharacters", {":"}}}},
            {"documentSymbolProvider", true},
            {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}}}},
          {"serverInfo", {{"name", "planprobe"}, {"version", QUILLMAR_VERSION}}}};
}

void LanguageServer::didOpen(const json& params) {
  std::variant<lsp::Document, std::string> opened = lsp::openedDocument(params);
  if (const std::string* reason = std::get_if<std::string>(&opened)) {
    logLine("a document was not opened: " + *reason);
    return;
  }
  const std::string uri = std::get<lsp::Document>(opened).uri;
  documents_.open(std::move(std::get<lsp::Document>(opened)));
  OpenSchedule& open = open_[uri];
  refuseWaiting(open, lsp::ErrorCode::ContentModified, "the document was opened again");
  open.dirty = true;
}

void LanguageServer::didChange(const json& params) {
  const std::string uri = uriOf(params);
  const auto found = open_.find(uri);
  if (std::optional<std::string> fault = lsp::applyChange(documents_, params, encoding_)) {
    logLine("a change of " + uri + " was not applied: " + *fault);
    return;
  }
  if (found != open_.end()) {
    refuseWaiting(found->second, lsp::ErrorCode::ContentModified, "the document has changed");
    found->second.dirty = true;
  }
}

void LanguageServer::didClose(const json& params) {
  const std::string uri = uriOf(params);
  documents_.close(uri);
  const auto found = open_.find(uri);
  if (found == open_.end()) {
    return;
  }
  refuseWaiting(found->second, lsp::ErrorCode::ContentModified, "the document was closed");
  open_.erase(found);
  out_.send(lsp::notification("textDocument/publishDiagnostics",
                              {{"uri", uri}, {"diagnostics", json::array()}}));
}

void LanguageServer::didChangeConfiguration(const json& params) {
  const std::optional<std::string> words = optionWordsIn(params.value("settings", json()));
  if (!words || *words == clientOptions_) {
    return;
  }
  clientOptions_ = *words;
  for (auto& [uri, open] : open_) {
    refuseWaiting(open, lsp::ErrorCode::ContentModified, "the span has changed");
    open.dirty = true;
  }
}

void LanguageServer::cancel(const json& params) {
  const json id = params.value("id", json());
  for (auto& [uri, open] : open_) {
    for (auto it = open.waiting.begin(); it != open.waiting.end(); ++it) {
      if (it->id == id) {
        out_.send(lsp::errorResponse(id, lsp::ErrorCode::RequestCancelled, "cancelled"));
        open.waiting.erase(it);
        return;
      }
    }
  }
}

OpenSchedule* LanguageServer::openScheduleOf(const json& params) {
  const auto found = open_.find(uriOf(params));
  return found == open_.end() ? nullptr : &found->second;
}

void LanguageServer::answerWithRun(const lsp::Message& message) {
  OpenSchedule* open = openScheduleOf(message.params);
  if (open == nullptr) {
    out_.send(lsp::response(message.id, nullptr));
    return;
  }
  if (!open->dirty && open->run && open->run->finished()) {
    out_.send(lsp::response(message.id, runAnswer(message.method, message.params, *open)));
    return;
  }
  open->waiting.push_back({message.id, message.method, message.params});
}

json LanguageServer::runAnswer(const std::string& method, const json& params, OpenSchedule& open) {
  const ScheduleRun& run = *open.run;
  if (method == "textDocument/codeLens") {
    json lenses = json::array();
    for (const ParsedLine& line : run.parsed().lines) {
      if (std::optional<std::string> title = LensTitle(run, line.number)) {
        lenses.push_back({{"range", RangeOf(*open.lines, encoding_, line.start, line.start)},
                          {"command", {{"title", *title}, {"command", ""}}}});
      }
    }
    return lenses;
  }
  const json& position = params.at("position");
  const uint32_t line = position.at("line").get<uint32_t>();
  const size_t offset = open.lines->offsetAt({line, 0}, encoding_);
  const uint32_t physical = PhysicalLines(run.text()).placeOf(offset).line;
  const std::optional<LineAtPlace> at = run.lineOn(physical);
  if (!at) {
    return nullptr;
  }
  return {{"contents", {{"kind", "markdown"}, {"value", HoverText(run, *at)}}}};
}

json LanguageServer::textAnswer(const std::string& method, const json& params, OpenSchedule& open) {
  return AnswerTextRequest(method, params, *open.run, *open.lines, encoding_, uriOf(params));
}

RunSettings LanguageServer::settingsFor(std::string_view text,
                                        std::optional<OptionsFault>& fault) const {
  RunSettings settings = defaults_;
  if (!clientOptions_.empty()) {
    RunSettings client = settings;
    if (std::optional<std::string> reason = ApplyOptionWords(clientOptions_, client)) {
      logLine("the client's options are not used: " + *reason);
    } else {
      settings = client;
    }
  }
  fault.reset();
  if (std::optional<OptionsComment> comment = FindOptionsComment(text)) {
    if (std::optional<std::string> reason = ApplyOptionWords(comment->words, settings)) {
      fault = OptionsFault{comment->at, comment->end, "planprobe options not used: " + *reason};
    }
  }
  return settings;
}

void LanguageServer::analyseChanged() {
  for (auto& [uri, open] : open_) {
    if (open.dirty) {
      analyse(uri, open);
    }
  }
}

void LanguageServer::analyse(const std::string& uri, OpenSchedule& open) {
  const lsp::Document* document = documents_.find(uri);
  if (document == nullptr) {
    return;
  }
  // The old run goes first, so that a long schedule is never held twice over.
  open.lines.reset();
  open.run.reset();
  const RunSettings settings = settingsFor(document->text, open.optionsFault);
  open.run = std::make_unique<ScheduleRun>(document->text, settings);
  open.lines = std::make_unique<lsp::LineIndex>(open.run->text());
  open.dirty = false;
  open.published = false;
  publish(uri, open);
}

bool LanguageServer::stepARun() {
  for (auto& [uri, open] : open_) {
    if (open.run && !open.published) {
      if (!open.run->step()) {
        runEnded(uri, open);
      }
      return true;
    }
  }
  return false;
}

void LanguageServer::finishWaitingRuns() {
  analyseChanged();
  for (auto& [uri, open] : open_) {
    if (open.run && !open.published && !open.waiting.empty()) {
      while (open.run->step()) {
      }
      runEnded(uri, open);
    }
  }
}

void LanguageServer::runEnded(const std::string& uri, OpenSchedule& open) {
  publish(uri, open);
  open.published = true;
  std::vector<WaitingRequest> waiting = std::move(open.waiting);
  open.waiting.clear();
  for (const WaitingRequest& request : waiting) {
    try {
      out_.send(lsp::response(request.id, runAnswer(request.method, request.params, open)));
    } catch (const json::exception& error) {
      out_.send(lsp::errorResponse(request.id, lsp::ErrorCode::InvalidParams, error.what()));
    }
  }
}

void LanguageServer::publish(const std::string& uri, OpenSchedule& open) {
  const lsp::Document* document = documents_.find(uri);
  out_.send(lsp::notification(
      "textDocument/publishDiagnostics",
      {{"uri", uri},
       {"version", document != nullptr ? document->version : 0},
       {"diagnostics", DiagnosticsOf(*open.run, *open.lines, encoding_, uri, open.optionsFault)}}));
}

void LanguageServer::refuseWaiting(OpenSchedule& open, lsp::ErrorCode code,
                                   const std::string& why) {
  for (const WaitingRequest& request : open.waiting) {
    out_.send(lsp::errorResponse(request.id, code, why));
  }
  open.waiting.clear();
}

}  // namespace

int RunLanguageServer(std::istream& in, std::ostream& out, std::ostream& log,
                      const RunSettings& defaults, lsp::ReaderAtEnd atEnd) {
  lsp::Incoming incoming(in, atEnd);
  LanguageServer server(out, log, defaults);
  return server.serve(incoming);
}

}  // namespace quillmar::planprobe
