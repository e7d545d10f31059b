// Feeds arbitrary bytes to the schedule parser as a schedule file, in both parse modes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "schedule/parser.h"

namespace {

using namespace quillmar::planprobe;

// A clock on 29 February 2004 at 23:59 whose day test accepts every third event.
class FuzzHost final : public ScheduleHost {
 public:
  ClockReading clockNow() const override { return {4, 2, 29, 23, 59, 40229}; }
  void captureBootTime() override {}
  BootTime bootTime() const override { return {23, 59}; }
  ResultCode loadsToday(ScheduleEvent& event, const char* context) override {
    (void)event;
    (void)context;
    return ++calls_ % 3 == 0 ? SUCCESS : NOT_TODAY;
  }

 private:
  unsigned calls_ = 0;
};

// The scratch schedule file of this process, removed when the process ends.
const std::string& schedulePath() {
  static const std::string path = [] {
    std::atexit([] { std::remove(schedulePath().c_str()); });
    return "/tmp/planprobe_parser_fuzz_" + std::to_string(getpid());
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(schedulePath().c_str(), "wb");
  if (file == nullptr) {
    return 0;
  }
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  for (bool syntaxMode : {true, false}) {
    std::string text;
    ResultsLog log(std::make_unique<StringSink>(text));
    EventList events;
    FuzzHost host;
    ParseTarget target{events, log, host, nullptr};
    const ResultCode result = loadScheduleFile(schedulePath(), syntaxMode, target);
    if (result != SUCCESS) {
      __builtin_trap();  // a readable file always parses to its end
    }
  }
  return 0;
}
