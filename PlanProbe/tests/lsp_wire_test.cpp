// The language server's wire: frames read from damaged input, bodies read as messages, the
// lifecycle's verdicts, and the reader thread's queue.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "editor_pipe.h"

#include "lsp/framing.h"
#include "lsp/incoming.h"
#include "lsp/json_rpc.h"
#include "lsp/lifecycle.h"
#include "lsp/outgoing.h"

namespace quillmar::lsp {
namespace {

using nlohmann::json;
using Kind = Frame::Kind;

// What a reader makes of `input`: "M:<body>" per message, "B" per bad header, "E" at the end.
std::vector<std::string> framesOf(const std::string& input) {
  std::istringstream in(input);
  FrameReader reader(in);
  std::vector<std::string> seen;
  for (Frame f = reader.next();; f = reader.next()) {
    if (f.kind == Kind::BadHeader) {
      EXPECT_FALSE(f.problem.empty());
    }
    seen.push_back(f.kind == Kind::Message ? "M:" + f.body : f.kind == Kind::BadHeader ? "B" : "E");
    if (f.kind == Kind::End) {
      return seen;
    }
  }
}

const std::string kGood = "Content-Length: 2\r\n\r\n{}";

struct FramingCase {
  const char* what;
  std::string input;
  std::vector<std::string> frames;
};

class Framing : public testing::TestWithParam<FramingCase> {};

TEST_P(Framing, ReadsWhatIsThereAndSkipsTheRest) {
  EXPECT_EQ(framesOf(GetParam().input), GetParam().frames) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Framing,
    testing::Values(
        FramingCase{"back to back", kGood + "Content-Length: 3\r\n\r\n[1]", {"M:{}", "M:[1]", "E"}},
        FramingCase{"LF only", "Content-Length: 2\n\n{}", {"M:{}", "E"}},
        FramingCase{"any case, Content-Type and unknown headers",
                    "content-LENGTH:  2 \r\nContent-Type: application/vscode-jsonrpc; "
                    "charset=utf-8\r\nX-Whatever: 1\r\n\r\n{}",
                    {"M:{}", "E"}},
        FramingCase{"blank lines before a header", "\r\n\n" + kGood, {"M:{}", "E"}},
        FramingCase{"no length", "Content-Type: x\r\n\r\n" + kGood, {"B", "M:{}", "E"}},
        FramingCase{"not a number", "Content-Length: 1x\r\n\r\n" + kGood, {"B", "M:{}", "E"}},
        FramingCase{"negative", "Content-Length: -5\r\n\r\n" + kGood, {"B", "M:{}", "E"}},
        FramingCase{"empty", "Content-Length:\r\n\r\n" + kGood, {"B", "M:{}", "E"}},
        FramingCase{
            "beyond the cap", "Content-Length: 268435457\r\n\r\n" + kGood, {"B", "M:{}", "E"}},
        FramingCase{"beyond 64 bits",
                    "Content-Length: 99999999999999999999999\r\n\r\n" + kGood,
                    {"B", "M:{}", "E"}},
        FramingCase{"two lengths",
                    "Content-Length: 2\r\nContent-Length: 2\r\n\r\n{}\r\n\r\n" + kGood,
                    {"B", "B", "M:{}", "E"}},
        FramingCase{"garbage between frames",
                    kGood + "garbage\r\nmore: x\r\n\r\n" + kGood,
                    {"M:{}", "B", "M:{}", "E"}},
        FramingCase{"an endless header line",
                    std::string(100000, 'x') + "\r\n\r\n" + kGood,
                    {"B", "M:{}", "E"}},
        FramingCase{"body cut short", "Content-Length: 10\r\n\r\nabc", {"E"}},
        FramingCase{"a huge claim on a short input", "Content-Length: 268435456\r\n\r\nabc", {"E"}},
        FramingCase{"header cut short", "Content-Length: 2\r\n", {"E"}},
        FramingCase{"nothing", "", {"E"}}));

TEST(Framing, ABigDocumentPassesWhole) {
  std::string body;
  for (int line = 0; line < 100000; ++line) {
    body += "12:00 SWITCH 1 ON ; a line of a long schedule\r\n";
  }
  EXPECT_EQ(framesOf(frame(body) + kGood), (std::vector<std::string>{"M:" + body, "M:{}", "E"}));
}

struct BodyCase {
  std::string body;
  std::optional<Message::Kind> kind;  // nothing: refused
  int code;                           // the refusal's error code
  json id;                            // the refusal's id
};

class Bodies : public testing::TestWithParam<BodyCase> {};

TEST_P(Bodies, AreMessagesOrTheirRefusals) {
  const auto& c = GetParam();
  const auto parsed = parseMessage(c.body);
  if (c.kind) {
    ASSERT_EQ(parsed.index(), 0u) << c.body << " -> " << serialise(std::get<1>(parsed));
    EXPECT_EQ(std::get<0>(parsed).kind, *c.kind) << c.body;
    return;
  }
  ASSERT_EQ(parsed.index(), 1u) << c.body;
  const auto& refusal = std::get<1>(parsed);
  EXPECT_EQ(refusal["error"]["code"], c.code) << c.body;
  EXPECT_EQ(refusal["id"], c.id) << c.body;
  EXPECT_EQ(refusal["jsonrpc"], "2.0");
}

constexpr int kParse = -32700;
constexpr int kInvalid = -32600;

INSTANTIATE_TEST_SUITE_P(
    Table, Bodies,
    testing::Values(
        BodyCase{R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})",
                 Message::Kind::Request,
                 0,
                 {}},
        BodyCase{
            R"({"jsonrpc":"2.0","id":"a","method":"shutdown"})", Message::Kind::Request, 0, {}},
        BodyCase{
            R"({"jsonrpc":"2.0","method":"exit","params":[]})", Message::Kind::Notification, 0, {}},
        BodyCase{R"({"jsonrpc":"2.0","id":3,"result":null})", Message::Kind::Response, 0, {}},
        BodyCase{R"({"jsonrpc":"2.0","id":3,"error":{"code":1,"message":"m"}})",
                 Message::Kind::Response,
                 0,
                 {}},
        BodyCase{R"({"jsonrpc":)", std::nullopt, kParse, nullptr},
        BodyCase{"{\"jsonrpc\":\"2.0\",\"method\":\"\xff\"}", std::nullopt, kParse, nullptr},
        BodyCase{"", std::nullopt, kParse, nullptr},
        BodyCase{R"([{"jsonrpc":"2.0","id":1,"method":"x"}])", std::nullopt, kInvalid, nullptr},
        BodyCase{"42", std::nullopt, kInvalid, nullptr},
        BodyCase{R"({"id":1,"method":"x"})", std::nullopt, kInvalid, 1},
        BodyCase{R"({"jsonrpc":"1.0","id":1,"method":"x"})", std::nullopt, kInvalid, 1},
        BodyCase{R"({"jsonrpc":"2.0","id":1.5,"method":"x"})", std::nullopt, kInvalid, nullptr},
        BodyCase{R"({"jsonrpc":"2.0","id":null,"method":"x"})", std::nullopt, kInvalid, nullptr},
        BodyCase{R"({"jsonrpc":"2.0","id":{},"method":"x"})", std::nullopt, kInvalid, nullptr},
        BodyCase{R"({"jsonrpc":"2.0","id":7,"method":5})", std::nullopt, kInvalid, 7},
        BodyCase{R"({"jsonrpc":"2.0","id":7,"method":"x","params":3})", std::nullopt, kInvalid, 7},
        BodyCase{R"({"jsonrpc":"2.0","id":7})", std::nullopt, kInvalid, 7},
        BodyCase{R"({"jsonrpc":"2.0","result":1})", std::nullopt, kInvalid, nullptr},
        BodyCase{R"({"jsonrpc":"2.0","id":7,"result":1,"error":{}})", std::nullopt, kInvalid, 7},
        BodyCase{R"({"jsonrpc":"2.0","id":7,"error":"bad"})", std::nullopt, kInvalid, 7},
        BodyCase{R"({"jsonrpc":"2.0","method":"x","params":)" + std::string(100000, '[') +
                     std::string(100000, ']') + "}",
                 std::nullopt, kInvalid, nullptr}));

TEST(Messages, CarryWhatTheBodySaid) {
  const auto request = std::get<0>(parseMessage(R"({"jsonrpc":"2.0","id":"r1","method":"m",
                                                    "params":{"a":[1,2]}})"));
  EXPECT_EQ(request.id, "r1");
  EXPECT_EQ(request.method, "m");
  EXPECT_EQ(request.params, json::parse(R"({"a":[1,2]})"));
  const auto answer = std::get<0>(parseMessage(R"({"jsonrpc":"2.0","id":4,"error":{"code":-1}})"));
  EXPECT_EQ(answer.error["code"], -1);
}

TEST(Messages, ErrorsTakeTheirCodesDefaultTextUnlessGivenOne) {
  for (const auto code :
       {ErrorCode::ParseError, ErrorCode::InvalidRequest, ErrorCode::MethodNotFound,
        ErrorCode::InvalidParams, ErrorCode::InternalError, ErrorCode::ServerNotInitialized,
        ErrorCode::RequestFailed, ErrorCode::ServerCancelled, ErrorCode::ContentModified,
        ErrorCode::RequestCancelled}) {
    EXPECT_FALSE(errorName(code).empty());
    EXPECT_EQ(errorResponse(1, code)["error"]["message"], defaultMessage(code));
  }
  EXPECT_EQ(errorResponse(1, ErrorCode::RequestFailed, "why")["error"]["message"], "why");
}

TEST(Messages, InvalidUtf8IsReplacedWhenSentNotThrown) {
  std::ostringstream out;
  Outgoing(out).send(notification("log", {{"text", "a\xff"}}));
  std::istringstream in(out.str());
  const auto sent = FrameReader(in).next();
  ASSERT_EQ(sent.kind, Kind::Message);
  const auto message = std::get<0>(parseMessage(sent.body));
  EXPECT_EQ(message.params["text"], "a\xEF\xBF\xBD");
}

struct LifeCase {
  int steps;  // 0: none, 1: initialized, 2: and shut down
  Message::Kind kind;
  const char* method;
  int refusal;  // 0: none
  bool dropped;
};

class Life : public testing::TestWithParam<LifeCase> {};

TEST_P(Life, RefusesAndDropsByState) {
  const auto& c = GetParam();
  Lifecycle life;
  if (c.steps > 0) {
    life.initialized();
  }
  if (c.steps > 1) {
    life.shutdown();
  }
  const Message message{
      c.kind, c.kind == Message::Kind::Notification ? json() : json(9), c.method, {}, {}};
  const auto refusal = life.refusal(message);
  EXPECT_EQ(refusal ? refusal->at("error").at("code").get<int>() : 0, c.refusal) << c.method;
  if (refusal) {
    EXPECT_EQ(refusal->at("id"), 9);
  }
  EXPECT_EQ(life.drops(message), c.dropped) << c.method;
}

constexpr auto kReq = Message::Kind::Request;
constexpr auto kNote = Message::Kind::Notification;

INSTANTIATE_TEST_SUITE_P(Table, Life,
                         testing::Values(LifeCase{0, kReq, "initialize", 0, false},
                                         LifeCase{0, kReq, "textDocument/hover", -32002, false},
                                         LifeCase{0, kReq, "shutdown", -32002, false},
                                         LifeCase{0, kNote, "textDocument/didOpen", 0, true},
                                         LifeCase{0, kNote, "exit", 0, false},
                                         LifeCase{1, kReq, "initialize", -32600, false},
                                         LifeCase{1, kReq, "textDocument/hover", 0, false},
                                         LifeCase{1, kNote, "textDocument/didOpen", 0, false},
                                         LifeCase{1, Message::Kind::Response, "", 0, false},
                                         LifeCase{2, kReq, "textDocument/hover", -32600, false},
                                         LifeCase{2, kReq, "shutdown", -32600, false},
                                         LifeCase{2, kNote, "textDocument/didOpen", 0, true},
                                         LifeCase{2, kNote, "exit", 0, false}));

TEST(Life, ExitsWithZeroOnlyAfterShutdown) {
  for (const bool shutDown : {true, false}) {
    Lifecycle life;
    life.initialized();
    if (shutDown) {
      life.shutdown();
    }
    life.exit();
    EXPECT_EQ(life.exitStatus(), shutDown ? 0 : 1);
  }
}

TEST(Incoming, QueuesEveryFrameThenEndsForGood) {
  std::istringstream in(kGood + "junk\r\n\r\n" + frame("[]") + "Content-Length: 9\r\n\r\n{");
  Incoming incoming(in);
  EXPECT_EQ(incoming.wait().body, "{}");
  EXPECT_EQ(incoming.wait().kind, Kind::BadHeader);
  EXPECT_TRUE(incoming.waitFor(std::chrono::seconds(10)));
  EXPECT_EQ(incoming.wait().body, "[]");
  const auto end = incoming.wait();
  EXPECT_EQ(end.kind, Kind::End);
  EXPECT_FALSE(end.problem.empty());
  EXPECT_EQ(incoming.wait().kind, Kind::End);
  EXPECT_FALSE(incoming.tryPop());
  EXPECT_EQ(incoming.pending(), 0u);
}

TEST(Incoming, AJoinedReaderIsWaitedForUntilItsInputEnds) {
  // A reader left behind would go on reading a pipe that its owner is about to destroy.
  planprobe::BlockingPipe pipe;
  std::istream in(&pipe);
  std::atomic<bool> closing = false;
  std::thread closer;
  {
    Incoming incoming(in, ReaderAtEnd::Joined);
    pipe.put(frame("{}"));
    EXPECT_EQ(incoming.wait().body, "{}");
    closer = std::thread([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      closing = true;
      pipe.close();
    });
  }
  EXPECT_TRUE(closing);
  closer.join();
}

}  // namespace
}  // namespace quillmar::lsp
