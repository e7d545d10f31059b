// The language server end to end in one process: frames in, frames out, as an editor sees them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "editor_pipe.h"
#include "lsp/framing.h"
#include "lsp/json_rpc.h"
#include "server/language_server.h"
#include "server/run_settings.h"

namespace quillmar::planprobe {
namespace {

using nlohmann::json;

constexpr const char* kUri = "file:///work/schedule.txt";

// A quoted text with two- and three-byte characters stands before the blamed field "4:".
constexpr const char* kFaulty =
    "D:07.24.02 T:06:30 P:DAY R:1 E:SENDSTRING 1:\"grüße €\" 2:\"OK\" 3:3 4:1x0\n"
    "D:07.24.02 T:06:30 P:DAY R:1 E:ON 1:1\n";
constexpr const char* kRight =
    "D:07.24.02 T:06:30 P:DAY R:1 E:ON 1:1\n"
    "D:07.24.02 T:07:00 P:DAY R:1 E:ON 1:1\n";

// The span every test runs over unless its text says otherwise: a week from 2002-07-24.
RunSettings testSettings() {
  std::tm day{};
  day.tm_year = 102;
  day.tm_mon = 6;
  day.tm_mday = 24;
  return SettingsFrom(day);
}

// An editor with a server of its own, on a thread, talking over two pipes. The server waits for
// its reader at the end: a reader left behind would read the next editor's pipe, made where
// this one stood, and take its frames.
class Editor {
 public:
  Editor()
      : server_([this] {
          status_ = RunLanguageServer(in_, out_, log_, testSettings(), lsp::ReaderAtEnd::Joined);
        }) {}
  ~Editor() {
    toServer_.close();
    if (server_.joinable()) {
      server_.join();
    }
  }

  Editor& raw(const std::string& bytes) {
    toServer_.put(bytes);
    return *this;
  }
  Editor& send(const json& message) { return raw(lsp::frame(lsp::serialise(message))); }
  Editor& request(int id, const std::string& method, json params = json::object()) {
    return send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
  }
  Editor& notify(const std::string& method, json params = json::object()) {
    return send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
  }
  // Initializes the server and waits for its answer.
  json initialize(json capabilities = json::object(), json options = nullptr) {
    json params = {{"capabilities", capabilities}};
    if (!options.is_null()) {
      params["initializationOptions"] = options;
    }
    request(1, "initialize", params);
    json answer = reply(1);
    notify("initialized");
    return answer;
  }
  Editor& open(const std::string& text) {
    return notify(
        "textDocument/didOpen",
        {{"textDocument",
          {{"uri", kUri}, {"languageId", "quillschedule"}, {"version", 1}, {"text", text}}}});
  }
  Editor& change(int version, json changes) {
    return notify(
        "textDocument/didChange",
        {{"textDocument", {{"uri", kUri}, {"version", version}}}, {"contentChanges", changes}});
  }
  Editor& hover(int id, int line) {
    return request(
        id, "textDocument/hover",
        {{"textDocument", {{"uri", kUri}}}, {"position", {{"line", line}, {"character", 3}}}});
  }
  Editor& lens(int id) {
    return request(id, "textDocument/codeLens", {{"textDocument", {{"uri", kUri}}}});
  }
  // Shuts the server down and lets it exit; returns its exit status.
  int end(bool shutdownFirst = true) {
    if (shutdownFirst) {
      request(99, "shutdown");
      reply(99);
    }
    notify("exit");
    toServer_.close();
    server_.join();
    return status_;
  }

  // The reply to request `id`, waited for; null when none comes within a while.
  json reply(int id) {
    json found;
    await([&](const std::vector<json>& messages) {
      for (const json& message : messages) {
        if (message.contains("id") && message["id"] == id && !message.contains("method")) {
          found = message;
          return true;
        }
      }
      return false;
    });
    return found;
  }
  // The diagnostics first published for `version` of the document (0 for those published
  // without a version, at its close), waited for; null when none come.
  json diagnostics(int64_t version) {
    json found;
    await([&](const std::vector<json>& messages) {
      for (const json& message : messages) {
        if (message.value("method", "") == "textDocument/publishDiagnostics" &&
            message["params"].value("version", int64_t{0}) == version) {
          found = message["params"]["diagnostics"];
          return true;
        }
      }
      return false;
    });
    return found;
  }

  // The diagnostics published last, without waiting.
  json lastDiagnostics() {
    json last;
    for (const json& message : messagesIn(fromServer_.written())) {
      if (message.value("method", "") == "textDocument/publishDiagnostics") {
        last = message["params"]["diagnostics"];
      }
    }
    return last;
  }

 private:
  // Waits until `seen` is true of the messages the server wrote so far.
  void await(const std::function<bool(const std::vector<json>&)>& seen) {
    fromServer_.waitUntil([&](const std::string& bytes) { return seen(messagesIn(bytes)); },
                          std::chrono::seconds(60));
  }
  static std::vector<json> messagesIn(const std::string& bytes) {
    std::istringstream in(bytes);
    lsp::FrameReader reader(in);
    std::vector<json> messages;
    for (lsp::Frame frame = reader.next(); frame.kind == lsp::Frame::Kind::Message;
         frame = reader.next()) {
      messages.push_back(json::parse(frame.body));
    }
    return messages;
  }

  BlockingPipe toServer_;
  BlockingPipe fromServer_;
  std::istream in_{&toServer_};
  std::ostream out_{&fromServer_};
  std::ostringstream log_;
  int status_ = -1;
  std::thread server_;
};

TEST(LanguageServer, LifecycleRefusesAndEndsAsTheProtocolSays) {
  struct Case {
    const char* what;
    bool initializeFirst;
    bool shutdownFirst;
    int expectedError;  // of request 7
    int expectedStatus;
  };
  const Case cases[] = {
      {"before initialize", false, false, -32002, 1},
      {"after shutdown", true, true, -32600, 0},
      {"unknown method", true, false, -32601, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Editor editor;
    if (c.initializeFirst) {
      editor.initialize();
    }
    if (c.shutdownFirst) {
      editor.request(6, "shutdown");
    }
    editor.request(7, "textDocument/unknownThing");
    EXPECT_EQ(editor.reply(7)["error"]["code"], c.expectedError);
    EXPECT_EQ(editor.end(false), c.expectedStatus);
  }
}

TEST(LanguageServer, NamesTheEncodingItChose) {
  for (const auto& [offered, chosen] : {std::pair{json::array({"utf-8", "utf-16"}), "utf-8"},
                                        {json::array({"utf-16"}), "utf-16"},
                                        {json(nullptr), "utf-16"}}) {
    Editor editor;
    json capabilities = json::object();
    if (!offered.is_null()) {
      capabilities["general"] = {{"positionEncodings", offered}};
    }
    EXPECT_EQ(editor.initialize(capabilities)["result"]["capabilities"]["positionEncoding"],
              chosen);
    EXPECT_EQ(editor.end(), 0);
  }
}

TEST(LanguageServer, FindingsStandAtTheBlamedTagInEitherEncoding) {
  // The command line puts this finding at byte column 70; ü, ß and € take one UTF-16 unit each
  // but 2, 2 and 3 bytes.
  for (const auto& [encoding, character] : {std::pair{"utf-16", 65}, {"utf-8", 69}}) {
    SCOPED_TRACE(encoding);
    Editor editor;
    editor.initialize({{"general", {{"positionEncodings", {encoding}}}}});
    editor.open(kFaulty);
    const json finding = editor.diagnostics(1).at(0);
    EXPECT_EQ(finding["range"]["start"], json({{"line", 0}, {"character", character}}));
    EXPECT_EQ(finding["code"], "BAD_DATA_PARAM4");
    EXPECT_EQ(finding["severity"], 1);
    EXPECT_EQ(finding["source"], "planprobe");
    EXPECT_EQ(editor.end(), 0);
  }
}

TEST(LanguageServer, FindingsClearWhenTheTextIsRightAndWhenItCloses) {
  Editor editor;
  editor.initialize();
  editor.open(kFaulty);
  EXPECT_EQ(editor.diagnostics(1).size(), 1u);
  // Replaces the faulty "1x0" (UTF-16 columns 67 to 70) with "10".
  editor.change(
      2,
      {{{"range",
         {{"start", {{"line", 0}, {"character", 67}}}, {"end", {{"line", 0}, {"character", 70}}}}},
        {"text", "10"}}});
  EXPECT_EQ(editor.diagnostics(2), json::array());
  editor.notify("textDocument/didClose", {{"textDocument", {{"uri", kUri}}}});
  EXPECT_EQ(editor.diagnostics(0), json::array());
  EXPECT_EQ(editor.end(), 0);
}

TEST(LanguageServer, HoverAndLensTellTheNextRuns) {
  Editor editor;
  editor.initialize();
  editor.open(kRight).hover(5, 0).lens(6);
  const std::string hover = editor.reply(5)["result"]["contents"]["value"];
  EXPECT_NE(hover.find("Next runs"), std::string::npos) << hover;
  EXPECT_NE(hover.find("2002-07-24 06:30 ElvaneOn: 1\n2002-07-25 06:30 ElvaneOn: 1\n"),
            std::string::npos)
      << hover;
  EXPECT_NE(hover.find("Runs 7× in the span."), std::string::npos) << hover;
  const json lenses = editor.reply(6)["result"];
  ASSERT_EQ(lenses.size(), 2u);
  EXPECT_EQ(lenses[0]["command"]["title"], "runs 7× · first 2002-07-24 06:30");
  EXPECT_EQ(lenses[1]["range"]["start"]["line"], 1);
  EXPECT_EQ(editor.end(), 0);
}

TEST(LanguageServer, TheSpanComesFromTheCommentTheClientOrTheDefault) {
  struct Case {
    const char* what;
    std::string text;
    json options;
    const char* title;  // of the event line's lens
  };
  const std::string event = "D:01.01.02 T:06:30 P:DAY R:1 E:ON 1:1\n";
  const Case cases[] = {
      {"default week", event, nullptr, "runs 7× · first 2002-07-24 06:30"},
      {"client", event, {{"options", "-d010102 +d2"}}, "runs 2× · first 2002-01-01 06:30"},
      {"comment over client",
       "; planprobe: -d020102 +d3\n" + event,
       {{"options", "+d2"}},
       "runs 3× · first 2002-02-01 06:30"},
      {"faulty comment", "; planprobe: -d0201 +d3\n" + event, nullptr,
       "runs 7× · first 2002-07-24 06:30"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Editor editor;
    editor.initialize(json::object(), c.options);
    editor.open(c.text).lens(6);
    EXPECT_EQ(editor.reply(6)["result"][0]["command"]["title"], c.title);
    EXPECT_EQ(editor.end(), 0);
  }
}

TEST(LanguageServer, AFaultyOptionsCommentIsWarnedOfAtTheComment) {
  Editor editor;
  editor.initialize();
  editor.open("; planprobe: -d0201 -s/etc/passwd\nD:01.01.02 T:06:30 P:DAY R:1 E:ON 1:1\n");
  const json warning = editor.diagnostics(1).at(0);
  EXPECT_EQ(warning["severity"], 2);
  EXPECT_EQ(warning["range"]["start"], json({{"line", 0}, {"character", 0}}));
  EXPECT_NE(warning["message"].get<std::string>().find("-s/etc/passwd"), std::string::npos);
  EXPECT_EQ(editor.end(), 0);
}

TEST(LanguageServer, TheRunMarksLinesThatNeverRunOrNeverWin) {
  Editor editor;
  editor.initialize();
  editor.open(
      "D:07.24.02 T:06:30 P:DAY R:1 E:ON 1:1\n"
      "D:07.24.02 T:06:30 P:DAY R:1 E:STARTSEQUENCE 1:1\n"
      "D:07.24.03 T:06:30 P:DAY R:1 E:OFF 1:1\n");
  json hint;
  json warning;
  // The run's facts are published once the run is over, before the lens is answered.
  editor.lens(6);
  editor.reply(6);
  for (const json& diagnostic : editor.lastDiagnostics()) {
    (diagnostic["severity"] == 4 ? hint : warning) = diagnostic;
  }
  EXPECT_EQ(hint["range"]["start"]["line"], 2);
  EXPECT_EQ(hint["tags"], json::array({1}));
  ASSERT_FALSE(warning.is_null());
  const int loser = warning["range"]["start"]["line"];
  const int winner = warning["relatedInformation"][0]["location"]["range"]["start"]["line"];
  EXPECT_EQ(loser + winner, 1);  // the one line points at the other
  EXPECT_EQ(editor.end(), 0);
}

TEST(LanguageServer, AnOutdatedOrCancelledHoverIsNotAnsweredWithOldRuns) {
  // A century of two lines due every minute takes long enough that the change and the
  // cancellation come before the run ends.
  const std::string text =
      "; planprobe: +y100\n"
      "D:07.24.02 T:06:30 P:MINUTE R:1 E:ON 1:1\n"
      "D:07.24.02 T:06:30 P:MINUTE R:1 E:OFF 1:1\n";
  Editor editor;
  editor.initialize();
  editor.open(text).hover(5, 1);
  editor.change(2, {{{"text", text + "\n"}}});
  editor.hover(6, 1);
  editor.notify("$/cancelRequest", {{"id", 6}});
  EXPECT_EQ(editor.reply(5)["error"]["code"], -32801);
  EXPECT_EQ(editor.reply(6)["error"]["code"], -32800);
  EXPECT_EQ(editor.end(), 0);
}

TEST(LanguageServer, BadInputIsRefusedAndTheServerGoesOn) {
  Editor editor;
  editor.initialize();
  editor.raw("Content-Length: 5\r\n\r\n{nope");
  editor.raw("Content-Length: x\r\n\r\n");
  editor.send(json::object());  // no jsonrpc, no method: an invalid request
  editor.request(4, "textDocument/hover", {{"textDocument", 5}});
  const char binary[] = "D:07.24.02 \x01\xff\0\xfe T:06:30 E:ON 1:1\n";
  editor.open(std::string(binary, sizeof binary - 1)).hover(5, 0);
  EXPECT_FALSE(editor.reply(4).is_null());
  EXPECT_FALSE(editor.reply(5).is_null());
  EXPECT_FALSE(editor.diagnostics(1).is_null());
  EXPECT_EQ(editor.end(), 0);
}

}  // namespace
}  // namespace quillmar::planprobe
