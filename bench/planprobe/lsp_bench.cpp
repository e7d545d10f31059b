// Times planprobe --lsp as an editor meets it, through its standard streams: the findings after
// a change of a 3000-line schedule against planprobe -a on the same file, a hover on a 300-line
// schedule over a week (the run included, and once it is over), and the server's memory across
// document versions. Each time is the median of its repetitions.
// Usage: lsp_bench [planprobe binary] [schedule file]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr const char* kUri = "file:///bench/schedule.txt";

// The event lines of `schedule` repeated until there are `count`, each copy at its own minute
// so that the run has work in every copy.
std::string scheduleOf(const std::string& schedule, size_t count) {
  std::ifstream in(schedule);
  std::vector<std::string> events;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("D:") || line.starts_with("d:")) {
      events.push_back(line);
    }
  }
  std::string text = "; planprobe: -d072402 +w1\n";
  for (size_t i = 0; i + 1 < count; ++i) {
    text += events[i % events.size()] + "\n";
  }
  return text;
}

// A planprobe --lsp child and its two pipes.
class Server {
 public:
  explicit Server(const std::string& binary) {
    int in[2];
    int out[2];
    if (pipe(in) != 0 || pipe(out) != 0) {
      std::perror("pipe");
      std::exit(1);
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      close(in[1]);
      close(out[0]);
      execl(binary.c_str(), binary.c_str(), "--lsp", static_cast<char*>(nullptr));
      std::_Exit(127);
    }
    close(in[0]);
    close(out[1]);
    toServer_ = in[1];
    fromServer_ = out[0];
  }
  ~Server() {
    send({{"jsonrpc", "2.0"}, {"method", "exit"}});
    close(toServer_);
    close(fromServer_);
    waitpid(pid_, nullptr, 0);
  }

  void send(const json& message) {
    const std::string body = message.dump();
    const std::string frame = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    for (size_t done = 0; done < frame.size();) {
      const ssize_t wrote = write(toServer_, frame.data() + done, frame.size() - done);
      if (wrote <= 0) {
        std::perror("write");
        std::exit(1);
      }
      done += static_cast<size_t>(wrote);
    }
  }
  // Reads messages until `wanted` is true of one; returns that one.
  json until(const std::function<bool(const json&)>& wanted) {
    for (;;) {
      const size_t header = buffer_.find("\r\n\r\n");
      if (header != std::string::npos) {
        const size_t length = std::stoul(buffer_.substr(buffer_.find(':') + 1));
        if (buffer_.size() >= header + 4 + length) {
          json message = json::parse(buffer_.substr(header + 4, length));
          buffer_.erase(0, header + 4 + length);
          if (wanted(message)) {
            return message;
          }
          continue;
        }
      }
      char chunk[65536];
      const ssize_t got = read(fromServer_, chunk, sizeof chunk);
      if (got <= 0) {
        std::fprintf(stderr, "the server ended\n");
        std::exit(1);
      }
      buffer_.append(chunk, static_cast<size_t>(got));
    }
  }
  json published(int64_t version) {
    return until([version](const json& m) {
      return m.value("method", "") == "textDocument/publishDiagnostics" &&
             m["params"].value("version", int64_t{-1}) == version;
    });
  }
  json reply(int id) {
    return until([id](const json& m) { return m.contains("id") && m["id"] == id; });
  }
  // The server's resident memory, in KiB.
  long residentKiB() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("VmRSS:")) {
        return std::stol(line.substr(6));
      }
    }
    return -1;
  }

 private:
  pid_t pid_;
  int toServer_;
  int fromServer_;
  std::string buffer_;
};

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void start(Server& server) {
  server.send({{"jsonrpc", "2.0"},
               {"id", 1},
               {"method", "initialize"},
               {"params", {{"capabilities", json::object()}}}});
  server.reply(1);
  server.send({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", json::object()}});
}

void open(Server& server, const std::string& text) {
  server.send(
      {{"jsonrpc", "2.0"},
       {"method", "textDocument/didOpen"},
       {"params",
        {{"textDocument",
          {{"uri", kUri}, {"languageId", "quillschedule"}, {"version", 1}, {"text", text}}}}}});
  server.published(1);
}

// Changes one digit of the last line, as a keystroke does.
void change(Server& server, int version, const std::string& text) {
  const size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  server.send({{"jsonrpc", "2.0"},
               {"method", "textDocument/didChange"},
               {"params",
                {{"textDocument", {{"uri", kUri}, {"version", version}}},
                 {"contentChanges",
                  {{{"range",
                     {{"start", {{"line", lines - 1}, {"character", 16}}},
                      {"end", {{"line", lines - 1}, {"character", 17}}}}},
                    {"text", std::to_string(version % 10)}}}}}}});
}

// planprobe -a over `file`, in milliseconds.
double analysisMs(const std::string& binary, const std::string& file) {
  const Clock::time_point begin = Clock::now();
  const std::string command = binary + " -s" + file + " -o/dev/null -a -d072402 > /dev/null";
  if (std::system(command.c_str()) == -1) {
    std::exit(1);
  }
  return msSince(begin);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string binary = argc > 1 ? argv[1] : "build/bin/planprobe";
  const std::string schedule = argc > 2 ? argv[2] : PLANPROBE_BENCH_SCHEDULE;
  constexpr int kRepeats = 21;

  const std::string large = scheduleOf(schedule, 3000);
  const std::string file = "/tmp/lsp_bench_3000.txt";
  std::ofstream(file) << large;
  std::vector<double> analysis;
  for (int i = 0; i < kRepeats; ++i) {
    analysis.push_back(analysisMs(binary, file));
  }
  Server server(binary);
  start(server);
  open(server, large);
  std::vector<double> findings;
  const long before = server.residentKiB();
  long after50 = 0;
  for (int version = 2; version < 2 + 200; ++version) {
    const Clock::time_point begin = Clock::now();
    change(server, version, large);
    server.published(version);
    findings.push_back(msSince(begin));
    if (version == 51) {
      after50 = server.residentKiB();
    }
  }
  std::printf(
      "3000-line schedule: findings after a change %.1f ms (median of %zu); planprobe -a "
      "on the same file %.1f ms (a process of its own): %.2f times\n",
      median(findings), findings.size(), median(analysis), median(findings) / median(analysis));
  std::printf(
      "memory of the server: %ld KiB after the first version, %ld after 50, %ld after "
      "200\n",
      before, after50, server.residentKiB());

  Server small(binary);
  start(small);
  const std::string text = scheduleOf(schedule, 300);
  open(small, text);
  std::vector<double> withRun;
  std::vector<double> settled;
  for (int version = 2; version < 2 + kRepeats; ++version) {
    change(small, version, text);
    const json hover = {
        {"jsonrpc", "2.0"},
        {"method", "textDocument/hover"},
        {"params",
         {{"textDocument", {{"uri", kUri}}}, {"position", {{"line", 10}, {"character", 2}}}}}};
    json first = hover;
    first["id"] = 100 + version;
    Clock::time_point begin = Clock::now();
    small.send(first);
    small.reply(100 + version);
    withRun.push_back(msSince(begin));
    json again = hover;
    again["id"] = 1000 + version;
    begin = Clock::now();
    small.send(again);
    small.reply(1000 + version);
    settled.push_back(msSince(begin));
  }
  std::printf(
      "300-line schedule over a week: hover right after a change %.1f ms (its run "
      "included), once the run is over %.2f ms (medians of %d)\n",
      median(withRun), median(settled), kRepeats);
  return 0;
}
