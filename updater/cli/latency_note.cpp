#include "cli/latency_note.h"

#include <string>

namespace quillmar::cli {
namespace {

// Replies of a full operation, byte by byte and in blocks of one page: per page, Update sends
// 256 byte loads and 3 commands to commit it, or one block load, and reads it back with 128
// word reads or one block read; Read reads 510 pages, Verify at most as many, Version 32. The few
// commands around them count too.
struct ReplyCount {
  boot::Operation operation;
  int byteByByte;
  int blocks;
};
constexpr int kPages = boot::kAppRegionBytes / boot::kPageBytes;
constexpr int kVersionPages = 2 * boot::kVersionScanWords / boot::kPageBytes;
constexpr ReplyCount kReplyCounts[] = {
    {boot::Operation::Update, kPages*(256 + 3 + 128) + 11, kPages * 2 + 12},
    {boot::Operation::Read, kPages * 128 + 5, kPages + 6},
    {boot::Operation::Verify, kPages * 128 + 5, kPages + 6},
    {boot::Operation::Version, kVersionPages * 128 + 2, kVersionPages + 3},
};

// "about 3 minutes" or "about 40 seconds".
std::string roughDuration(long long ms) {
  const long long seconds = (ms + 500) / 1000;
  if (seconds >= 120)
    return "about " + std::to_string((seconds + 30) / 60) + " minutes";
  return "about " + std::to_string(seconds) + " seconds";
}

}  // namespace

int repliesOf(boot::Operation operation, bool block) {
  for (const ReplyCount& count : kReplyCounts) {
    if (count.operation == operation)
      return block ? count.blocks : count.byteByByte;
  }
  return 0;
}

std::string latencyNote(const std::string& device, int latencyMs, boot::Operation operation,
                        bool block, const std::string& setting) {
  const long long waiting = static_cast<long long>(repliesOf(operation, block)) * latencyMs;
  std::string note =
      "note: the USB serial adapter " + device + " holds each reply " + std::to_string(latencyMs) +
      " ms (its latency timer); over the " + std::to_string(repliesOf(operation, block)) +
      " replies of this operation that is " + roughDuration(waiting) + " of waiting.";
  if (!block)
    note += " --block needs " + std::to_string(repliesOf(operation, true)) + " replies.";
  if (!setting.empty())
    note += " As root, 'echo 1 > " + setting + "' sets the timer to 1 ms.";
  return note + "\n";
}

}  // namespace quillmar::cli
