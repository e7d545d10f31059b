// The language server end to end in one process: frames in, frames out, as an editor sees them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

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

// What one editor says to the server, and what it got back.
class Editor {
 public:
  Editor& send(const json& message) {
    input_ += lsp::frame(lsp::serialise(message));
    return *this;
  }
  Editor& request(int id, const std::string& method, json params = json::object()) {
    return send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
  }
  Editor& notify(const std::string& method, json params = json::object()) {
    return send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
  }
  Editor& initialize(json capabilities = json::object(), json options = nullptr) {
    json params = {{"capabilities", capabilities}};
    if (!options.is_null()) {
      params["initializationOptions"] = options;
    }
    return request(1, "initialize", params).notify("initialized");
  }
  Editor& open(const std::string& text) {
    return notify("textDocument/didOpen",
                  {{"textDocument",
                    {{"uri", kUri}, {"languageId", "quillschedule"}, {"version", 1}, {"text", text}}}});
  }
  Editor& change(int version, json changes) {
    return notify("textDocument/didChange",
                  {{"textDocument", {{"uri", kUri}, {"version", version}}},
                   {"contentChanges", changes}});
  }
  Editor& hover(int id, int line) {
    return request(id, "textDocument/hover",
                   {{"textDocument", {{"uri", kUri}}},
                    {"position", {{"line", line}, {"character", 3}}}});
  }
  Editor& end() { return request(99, "shutdown").notify("exit"); }

  // Runs the server over everything sent; returns the exit status.
  int run() {
    std::istringstream in(input_);
    std::ostringstream out;
    std::ostringstream log;
    const int status = RunLanguageServer(in, out, log, testSettings());
    std::istringstream replies(out.str());
    lsp::FrameReader reader(replies);
    for (lsp::Frame frame = reader.next(); frame.kind == lsp::Frame::Kind::Message;
         frame = reader.next()) {
      received_.push_back(json::parse(frame.body));
    }
    return status;
  }
  // The reply to request `id`; null when none came.
  json reply(int id) const {
    for (const json& message : received_) {
      if (message.contains("id") && message["id"] == id && !message.contains("method")) {
        return message;
      }
    }
    return nullptr;
  }
  // Every diagnostics list published, in order.
  std::vector<json> published() const {
    std::vector<json> lists;
    for (const json& message : received_) {
      if (message.value("method", "") == "textDocument/publishDiagnostics") {
        lists.push_back(message["params"]["diagnostics"]);
      }
    }
    return lists;
  }

 private:
  std::string input_;
  std::vector<json> received_;
};

TEST(LanguageServer, LifecycleRefusesAndEndsAsTheProtocolSays) {
  struct Case {
    const char* what;
    bool initializeFirst;
    bool shutdownFirst;
    int expectedError;  // of request 7; 0 for an answer
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
    editor.request(7, "textDocument/unknownThing").notify("exit");
    EXPECT_EQ(editor.run(), c.expectedStatus);
    EXPECT_EQ(editor.reply(7)["error"]["code"], c.expectedError);
  }
}

TEST(LanguageServer, NamesTheEncodingItChose) {
  for (const auto& [offered, chosen] :
       {std::pair{json::array({"utf-8", "utf-16"}), "utf-8"}, {json::array({"utf-16"}), "utf-16"},
        {json(nullptr), "utf-16"}}) {
    Editor editor;
    json capabilities = json::object();
    if (!offered.is_null()) {
      capabilities["general"] = {{"positionEncodings", offered}};
    }
    editor.initialize(capabilities).end();
    EXPECT_EQ(editor.run(), 0);
    EXPECT_EQ(editor.reply(1)["result"]["capabilities"]["positionEncoding"], chosen);
  }
}

TEST(LanguageServer, FindingsStandAtTheBlamedTagInEitherEncoding) {
  // The command line puts this finding at byte column 70; ü, ß and € take 1, 1 and 1 UTF-16
  // units but 2, 2 and 3 bytes.
  for (const auto& [encoding, character] : {std::pair{"utf-16", 65}, {"utf-8", 69}}) {
    SCOPED_TRACE(encoding);
    Editor editor;
    editor.initialize({{"general", {{"positionEncodings", {encoding}}}}}).open(kFaulty).end();
    editor.run();
    const std::vector<json> lists = editor.published();
    ASSERT_FALSE(lists.empty());
    const json& finding = lists.front().at(0);
    EXPECT_EQ(finding["range"]["start"], json({{"line", 0}, {"character", character}}));
    EXPECT_EQ(finding["code"], "BAD_DATA_PARAM4");
    EXPECT_EQ(finding["severity"], 1);
    EXPECT_EQ(finding["source"], "planprobe");
  }
}

TEST(LanguageServer, FindingsClearWhenTheTextIsRightAndWhenItCloses) {
  Editor editor;
  editor.initialize().open(kFaulty);
  // Replaces the first line's faulty "1x0" with "10", across no line end; then closes.
  editor.change(2, {{{"range", {{"start", {{"line", 0}, {"character", 67}}},
                                {"end", {{"line", 0}, {"character", 70}}}}},
                     {"text", "10"}}});
  editor.notify("textDocument/didClose", {{"textDocument", {{"uri", kUri}}}}).end();
  EXPECT_EQ(editor.run(), 0);
  const std::vector<json> lists = editor.published();
  ASSERT_GE(lists.size(), 2u);
  EXPECT_FALSE(lists.front().empty());
  for (size_t i = 1; i < lists.size(); ++i) {
    for (const json& diagnostic : lists[i]) {
      EXPECT_NE(diagnostic["severity"], 1) << diagnostic.dump();
    }
  }
  EXPECT_TRUE(lists.back().empty());
}

TEST(LanguageServer, HoverAndLensTellTheNextRuns) {
  Editor editor;
  editor.initialize().open(kRight).hover(5, 0);
  editor.request(6, "textDocument/codeLens", {{"textDocument", {{"uri", kUri}}}}).end();
  editor.run();
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
      {"comment over client", "; planprobe: -d020102 +d3\n" + event, {{"options", "+d2"}},
       "runs 3× · first 2002-02-01 06:30"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Editor editor;
    editor.initialize(json::object(), c.options).open(c.text);
    editor.request(6, "textDocument/codeLens", {{"textDocument", {{"uri", kUri}}}}).end();
    editor.run();
    EXPECT_EQ(editor.reply(6)["result"][0]["command"]["title"], c.title);
  }
}

TEST(LanguageServer, TheRunMarksLinesThatNeverRunOrNeverWin) {
  Editor editor;
  editor.initialize()
      .open("D:07.24.02 T:06:30 P:DAY R:1 E:ON 1:1\n"
            "D:07.24.02 T:06:30 P:DAY R:1 E:PAUSE 1:1\n"
            "D:07.24.03 T:06:30 P:DAY R:1 E:OFF 1:1\n")
      .end();
  editor.run();
  const json last = editor.published().back();
  json hint;
  json warning;
  for (const json& diagnostic : last) {
    (diagnostic["severity"] == 4 ? hint : warning) = diagnostic;
  }
  EXPECT_EQ(hint["range"]["start"]["line"], 2);
  EXPECT_EQ(hint["tags"], json::array({1}));
  ASSERT_FALSE(warning.is_null());
  const int loser = warning["range"]["start"]["line"];
  const int winner = warning["relatedInformation"][0]["location"]["range"]["start"]["line"];
  EXPECT_EQ(loser + winner, 1);  // the one line points at the other
}

TEST(LanguageServer, AnOutdatedOrCancelledHoverIsNotAnsweredWithOldRuns) {
  // Ten years take long enough that the change and the cancellation come before the run ends.
  const std::string text = "; planprobe: +y10\n" + std::string(kRight);
  Editor editor;
  editor.initialize().open(text).hover(5, 1);
  editor.change(2, {{{"text", text + "\n"}}});
  editor.hover(6, 1);
  editor.notify("$/cancelRequest", {{"id", 6}}).end();
  EXPECT_EQ(editor.run(), 0);
  EXPECT_EQ(editor.reply(5)["error"]["code"], -32801);
  EXPECT_EQ(editor.reply(6)["error"]["code"], -32800);
}

TEST(LanguageServer, BadInputIsRefusedAndTheServerGoesOn) {
  Editor editor;
  editor.initialize();
  std::string garbage = "Content-Length: 5\r\n\r\n{nope";
  editor.send(json::object());  // no jsonrpc, no method: an invalid request
  editor.open(std::string("D:07.24.02 \x01\xff\xfe T:06:30 E:ON 1:1\n", 35)).hover(5, 0).end();
  EXPECT_EQ(editor.run(), 0);
  EXPECT_FALSE(editor.reply(5).is_null());
  EXPECT_FALSE(editor.published().empty());
}

}  // namespace
}  // namespace quillmar::planprobe
