// A stream that reaches a console gets a buffer that converts its text from the ANSI code page
// to UTF-16 and writes it with WriteConsoleW, which shows every character whatever the
// console's own code page. The C runtime's console writes would not: some convert byte by
// byte, some leave the bytes to the console's code page.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "console_text.h"
#include "wide_text_win32.h"

namespace quillmar::platform {
namespace {

// Collects a stream's text and writes it to `console` at each flush. Its stream flushes after
// every insertion, so no character is ever split between two writes.
class ConsoleBuffer final : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}

 protected:
  // Collects one character.
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      pending_.push_back(traits_type::to_char_type(c));
    }
    return traits_type::not_eof(c);
  }

  // Collects a run of characters.
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    return count;
  }

  // Converts and writes what has been collected; -1 when the console takes it not all.
  int sync() override {
    const std::wstring wide = wideFromNarrow(pending_);
    pending_.clear();
    for (std::size_t done = 0; done < wide.size();) {
      DWORD written = 0;
      const DWORD part = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
      if (!WriteConsoleW(console_, wide.data() + done, part, &written, nullptr) || written == 0) {
        return -1;
      }
      done += written;
    }
    return 0;
  }

 private:
  HANDLE console_;
  std::string pending_;
};

// One standard stream redirected to its console until destroyed.
class ConsoleRedirect {
 public:
  // Points `stream` at `console`, flushing after every insertion.
  ConsoleRedirect(std::ostream& stream, HANDLE console)
      : stream_(stream), buffer_(console), flags_(stream.flags()) {
    stream.flush();
    previous_ = stream.rdbuf(&buffer_);
    stream.setf(std::ios::unitbuf);
  }
  // Gives `stream` its own buffer and flags back, with nothing left unwritten.
  ~ConsoleRedirect() {
    stream_.flush();
    stream_.rdbuf(previous_);
    stream_.flags(flags_);
  }
  ConsoleRedirect(const ConsoleRedirect&) = delete;
  ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;

 private:
  std::ostream& stream_;
  ConsoleBuffer buffer_;
  std::ios::fmtflags flags_;
  std::streambuf* previous_ = nullptr;
};

// The console behind standard handle `which`, or null when it leads elsewhere.
HANDLE consoleOf(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)
             ? handle
             : nullptr;
}

}  // namespace

struct ConsoleText::Streams {
  std::vector<std::unique_ptr<ConsoleRedirect>> redirects;
};

ConsoleText::ConsoleText() : streams_(std::make_unique<Streams>()) {
  for (const auto& [stream, which] :
       {std::pair{&std::cout, STD_OUTPUT_HANDLE}, std::pair{&std::cerr, STD_ERROR_HANDLE}}) {
    if (const HANDLE console = consoleOf(which)) {
      streams_->redirects.push_back(std::make_unique<ConsoleRedirect>(*stream, console));
    }
  }
}

ConsoleText::~ConsoleText() = default;

}  // namespace quillmar::platform
