#include "cli/latency_note.h"

#include <string>

#include "boot/transfer_estimate.h"

namespace quillmar::cli {

std::string latencyNote(const std::string& device, int latencyMs, boot::Operation operation,
                        bool block, const std::string& setting) {
  const int replies = boot::repliesOf(operation, block);
  const long long waiting = static_cast<long long>(replies) * latencyMs;
  std::string note = "note: the USB serial adapter " + device + " holds each reply " +
                     std::to_string(latencyMs) + " ms (its latency timer); over the " +
                     std::to_string(replies) + " replies of this operation that is " +
                     boot::roughDuration(waiting) + " of waiting.";
  if (!block)
    note += " --block needs " + std::to_string(boot::repliesOf(operation, true)) + " replies.";
  if (!setting.empty())
    note += " " + setting;
  return note + "\n";
}

}  // namespace quillmar::cli
