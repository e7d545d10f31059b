// The frames of the language server's byte streams: a header of "Name: value" lines, the one
// that counts being Content-Length, then a blank line and that many bytes of body.
//
// A reader takes frames from an input that may hold garbage: a header it cannot use is reported
// (with a one-line text for the log) and skipped to its blank line, so that the next good frame
// is read. It never allocates more than it has read, and it ends when the input ends.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace quillmar::lsp {

// The largest body a frame may announce: far beyond any schedule (a 100 000-line one is a few
// MiB), well below what would exhaust the machine.
inline constexpr std::size_t kMaxBodyBytes = std::size_t{256} << 20;

// `body` as one frame: its Content-Length header, the blank line, the body.
std::string frame(std::string_view body);

// One thing a FrameReader read: a message's body, a header it could not use, or the end.
struct Frame {
  enum class Kind { Message, BadHeader, End } kind = Kind::End;
  std::string body;     // the message's bytes (Message)
  std::string problem;  // what was wrong, one line of English (BadHeader; End inside a frame)
};

// Reads frames one after the other from a stream.
class FrameReader {
 public:
  explicit FrameReader(std::istream& in);

  // The next frame; Kind::End once the input ended (also inside a header or a body).
  Frame next();

 private:
  // One header line without its line end into `line`; false when the input ended first.
  bool readLine(std::string& line, bool& tooLong);
  // The body of `length` bytes, read in chunks; false when the input ended first.
  bool readBody(std::size_t length, std::string& body);

  std::istream& in_;
};

}  // namespace quillmar::lsp
