#include "boot/transfer_estimate.h"

#include "link/serial_link.h"

namespace quillmar::boot {
namespace {

// What a full operation costs, byte by byte and in blocks of one page. Per page, Update sends
// 128 word loads ("c", byte, reply, "C", byte, reply) and three commands to commit it ("A" with
// two bytes, "m", "A" again, each with its reply), or one block load ("B", two count bytes,
// "F", 256 bytes, reply); it reads the page back with 128 word reads ("R" and two bytes) or one
// block read ("g", two count bytes, "F", 256 bytes). Read reads 510 pages, Verify at most as
// many, Version 32. The commands around them count too: the signature check (four escapes,
// "S" and seven bytes, "a" and its reply) is one wait for the identifier and one for "a".
struct TransferCost {
  Operation operation;
  int byteReplies;
  int blockReplies;
  long byteBytes;
  long blockBytes;
};
constexpr long kPages = kAppRegionBytes / kPageBytes;
constexpr long kVersionPages = 2 * kVersionScanWords / kPageBytes;
constexpr long kWriteWordsBytes = 128 * 6 + 10;
constexpr long kReadWordsBytes = 128 * 3;
constexpr long kBlockLoadBytes = 5 + kPageBytes;
constexpr long kBlockReadBytes = 4 + kPageBytes;
// The signature check, the erase with its address, the write's first address and its "L",
// the read's "P", address and "L"; blocks add the block-support question ("b", "Y", size).
constexpr long kUpdateFrame = 14 + 14 + 4 + 2 + 6 + 2;
constexpr long kReadFrame = 14 + 6 + 2;
constexpr long kVersionFrame = 2 + 4;  // "a" and its reply, the address
constexpr long kBlockQuery = 4;
constexpr TransferCost kCosts[] = {
    {Operation::Update, kPages*(256 + 3 + 128) + 11, kPages * 2 + 12,
     kUpdateFrame + kPages*(kWriteWordsBytes + kReadWordsBytes),
     kUpdateFrame + kBlockQuery + kPages*(kBlockLoadBytes + kBlockReadBytes)},
    {Operation::Read, kPages * 128 + 5, kPages + 6, kReadFrame + kPages* kReadWordsBytes,
     kReadFrame + kBlockQuery + kPages* kBlockReadBytes},
    {Operation::Verify, kPages * 128 + 5, kPages + 6, kReadFrame + kPages* kReadWordsBytes,
     kReadFrame + kBlockQuery + kPages* kBlockReadBytes},
    {Operation::Version, kVersionPages * 128 + 2, kVersionPages + 3,
     kVersionFrame + kVersionPages* kReadWordsBytes,
     kVersionFrame + kBlockQuery + kVersionPages* kBlockReadBytes},
};
constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

// What the user is told the operation is, in the question.
const char* operationName(Operation operation) {
  switch (operation) {
    case Operation::Update:
      return "the update";
    case Operation::Restore:
      return "the restore";
    case Operation::Read:
      return "reading the unit";
    case Operation::Verify:
      return "the verification";
    case Operation::Version:
      return "reading the version";
  }
  return "the operation";
}

// A restore is an update from a kept copy.
const TransferCost* costOf(Operation operation) {
  if (operation == Operation::Restore)
    operation = Operation::Update;
  for (const TransferCost& cost : kCosts) {
    if (cost.operation == operation)
      return &cost;
  }
  return nullptr;
}

}  // namespace

int repliesOf(Operation operation, bool block) {
  const TransferCost* cost = costOf(operation);
  return cost == nullptr ? 0 : block ? cost->blockReplies : cost->byteReplies;
}

long long estimatedMs(Operation operation, bool block, int latencyMs) {
  const TransferCost* cost = costOf(operation);
  if (cost == nullptr)
    return 0;
  const long long bytes = block ? cost->blockBytes : cost->byteBytes;
  const long long wireMs = bytes * kBitsPerByte * 1000 / link::kLinkBaudRate;
  return static_cast<long long>(repliesOf(operation, block)) * latencyMs + wireMs;
}

// Reading `pages` pages costs this many bytes on the wire and replies.
struct WireCost {
  long long bytes = 0;
  long long replies = 0;
};
WireCost readCost(long long pages, bool block) {
  return block ? WireCost{pages * kBlockReadBytes, pages}
               : WireCost{pages * kReadWordsBytes, pages * 128};
}

long long estimatedUpdateMs(long bytes, bool block, long copyBytes, bool copyBlock, int latencyMs) {
  const long long pages = (bytes + kPageBytes - 1) / kPageBytes;
  const WireCost write = block ? WireCost{pages * kBlockLoadBytes, pages}
                               : WireCost{pages * kWriteWordsBytes, pages * (256 + 3)};
  const WireCost readBack = readCost(pages, block);
  const WireCost copy = readCost((copyBytes + kPageBytes - 1) / kPageBytes, copyBlock);
  const long long wireBytes = kUpdateFrame + write.bytes + readBack.bytes + copy.bytes;
  const long long replies = 12 + write.replies + readBack.replies + copy.replies;
  return replies * latencyMs + wireBytes * kBitsPerByte * 1000 / link::kLinkBaudRate;
}

// Whole minutes from ten minutes on, tenths of a minute from one, seconds below. Integer
// arithmetic, so that no locale turns the point into a comma.
std::string roughDuration(long long ms) {
  const long long seconds = (ms + 500) / 1000;
  if (seconds >= 600)
    return "about " + std::to_string((seconds + 30) / 60) + " min";
  if (seconds >= 60) {
    const long long tenths = (ms + 3000) / 6000;
    return "about " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " min";
  }
  if (seconds < 1)
    return "under 1 s";
  return "about " + std::to_string(seconds) + " s";
}

std::optional<std::string> latencyAdvice(const std::string& portLabel, int latencyMs,
                                         Operation operation) {
  if (latencyMs <= kQuietLatencyMs)
    return std::nullopt;
  return "The USB serial adapter " + portLabel + " holds each reply " + std::to_string(latencyMs) +
         " ms (its latency timer), which makes byte-by-byte transfers slow: " +
         operationName(operation) + " takes " +
         roughDuration(estimatedMs(operation, false, latencyMs)) + "; with fast transfers " +
         roughDuration(estimatedMs(operation, true, latencyMs)) + ". Switch to fast transfers?";
}

}  // namespace quillmar::boot
