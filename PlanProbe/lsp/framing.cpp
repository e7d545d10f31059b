// Content-Length frames: writing one, and reading them from an input that may be damaged.
#include "lsp/framing.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <istream>
#include <optional>

namespace quillmar::lsp {

namespace {

// What can be wrong with a header, with the text the log shows for it.
enum class HeaderProblem { NoLength, BadLength, HugeLength, TwoLengths, NoColon, LongLine };

struct HeaderProblemText {
  HeaderProblem problem;
  std::string_view text;
};

constexpr std::array kHeaderProblems{
    HeaderProblemText{HeaderProblem::NoLength, "frame header without Content-Length"},
    HeaderProblemText{HeaderProblem::BadLength, "Content-Length is not a decimal byte count"},
    HeaderProblemText{HeaderProblem::HugeLength, "Content-Length is beyond 256 MiB"},
    HeaderProblemText{HeaderProblem::TwoLengths, "frame header with two Content-Length lines"},
    HeaderProblemText{HeaderProblem::NoColon, "frame header line without a colon"},
    HeaderProblemText{HeaderProblem::LongLine, "frame header line longer than 4096 bytes"},
};

constexpr std::string_view kBodyCut = "input ended inside a message body";
constexpr std::string_view kHeaderCut = "input ended inside a frame header";

// Header lines beyond this are garbage; the rest of such a line is skipped, not kept.
constexpr std::size_t kMaxHeaderLine = 4096;
// Bodies are read in pieces of this size, so a false length costs no more than the input.
constexpr std::size_t kChunk = 64 * 1024;

// The log's text for `problem`.
std::string problemText(HeaderProblem problem) {
  const auto* entry =
      std::find_if(kHeaderProblems.begin(), kHeaderProblems.end(),
                   [&](const HeaderProblemText& e) { return e.problem == problem; });
  return std::string(entry->text);
}

// `text` without the spaces and tabs around it.
std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// Whether `name` is `lower` (all lowercase) in any case.
bool sameName(std::string_view name, std::string_view lower) {
  return std::equal(name.begin(), name.end(), lower.begin(), lower.end(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

// The header being read: the length it announced or the first thing wrong with it.
struct Header {
  std::optional<std::size_t> length;
  std::optional<HeaderProblem> problem;

  // Records the first problem only: it is the one that explains the others.
  void fail(HeaderProblem p) {
    if (!problem) {
      problem = p;
    }
  }

  // Takes one header line (without its line end).
  void take(std::string_view line) {
    const auto colon = line.find(':');
    if (colon == std::string_view::npos) {
      fail(HeaderProblem::NoColon);
      return;
    }
    if (!sameName(trimmed(line.substr(0, colon)), "content-length")) {
      return;  // Content-Type and whatever else a client sends say nothing we need
    }
    if (length) {
      fail(HeaderProblem::TwoLengths);
      return;
    }
    const auto value = trimmed(line.substr(colon + 1));
    std::size_t n = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (value.empty() || end != value.data() + value.size() ||
        (error != std::errc{} && error != std::errc::result_out_of_range)) {
      fail(HeaderProblem::BadLength);
    } else if (error == std::errc::result_out_of_range || n > kMaxBodyBytes) {
      fail(HeaderProblem::HugeLength);
    } else {
      length = n;
    }
  }
};

}  // namespace

std::string frame(std::string_view body) {
  std::string framed = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  framed += body;
  return framed;
}

FrameReader::FrameReader(std::istream& in) : in_(in) {}

bool FrameReader::readLine(std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  auto* buffer = in_.rdbuf();
  for (;;) {
    const auto c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in_.setstate(std::ios::eofbit);
      return false;
    }
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      return true;
    }
    if (line.size() < kMaxHeaderLine + 1) {
      line += static_cast<char>(c);
    } else {
      tooLong = true;
    }
  }
}

bool FrameReader::readBody(std::size_t length, std::string& body) {
  body.clear();
  while (body.size() < length) {
    const auto piece = std::min(kChunk, length - body.size());
    const auto had = body.size();
    body.resize(had + piece);
    in_.read(body.data() + had, static_cast<std::streamsize>(piece));
    const auto got = static_cast<std::size_t>(in_.gcount());
    if (got < piece) {
      body.resize(had + got);
      return false;
    }
  }
  return true;
}

Frame FrameReader::next() {
  Header header;
  std::string line;
  bool tooLong = false;
  bool any = false;  // whether a header line came yet; blank lines before one are skipped
  for (;;) {
    if (!readLine(line, tooLong)) {
      return {Frame::Kind::End, {}, any ? std::string(kHeaderCut) : std::string()};
    }
    if (tooLong) {
      header.fail(HeaderProblem::LongLine);
    }
    if (line.empty() && !tooLong) {
      if (any) {
        break;
      }
      continue;
    }
    any = true;
    header.take(line);
  }
  if (!header.problem && !header.length) {
    header.fail(HeaderProblem::NoLength);
  }
  if (header.problem) {
    return {Frame::Kind::BadHeader, {}, problemText(*header.problem)};
  }
  Frame read{Frame::Kind::Message, {}, {}};
  if (!readBody(*header.length, read.body)) {
    return {Frame::Kind::End, {}, std::string(kBodyCut)};
  }
  return read;
}

}  // namespace quillmar::lsp
