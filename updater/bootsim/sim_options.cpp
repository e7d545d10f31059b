// parseSimOptions: one table row per option, each with the parser of its value.
#include "bootsim/sim_options.h"

#include <charconv>
#include <limits>
#include <string_view>

namespace quillmar::bootsim {

const char* const kSimUsage =
    "usage: quillmar-bootsim [options]\n"
    "Plays the unit's boot loader on a new pseudo-terminal, prints the device to connect to\n"
    "(one line), and serves it until killed or until a limit is reached.\n"
    "  --load FILE        start with this flash image (Intel HEX if FILE ends in .hex, else raw)\n"
    "  --dump FILE        write the whole flash to FILE at exit (same formats)\n"
    "  --tally FILE       write to FILE at exit how often each command came, one a line\n"
    "  --sessions N       stop after N clients have opened and closed the device\n"
    "  --commands N       stop after N commands\n"
    "  --id TEXT          answer the identifier command with TEXT instead of AVRBOOT\n"
    "  --silent-after N   go silent after receiving N bytes\n"
    "  --nack C:K         answer \"?\" to the K-th use of command C and ignore it\n"
    "                     (C is a character or a byte like 0x1b; repeatable)\n"
    "  --corrupt ADDR     the flash byte at ADDR stores with bit 0 flipped\n"
    "  --no-block         a boot loader without block transfers (b, B, g unknown)\n"
    "  --baud N           take the time an N-bit/s 8N1 line takes, both ways\n"
    "  --latency MS       hold each reply MS milliseconds, as a USB adapter does\n"
    "  --avr              run the unit's real boot loader on an emulated ATmega1284P\n"
    "                     (with --load, --dump, --sessions, --silent-after only)\n"
    "  --cut-delay US     with --avr and --silent-after N: the power fails US\n"
    "                     microseconds of chip time after it took byte N, even in\n"
    "                     the middle of the work that byte started\n"
    "  --help             show this text\n"
    "  --version          show this program's version\n";

namespace {

// A decimal or 0x-prefixed hexadecimal number that fits `limit`.
bool parseNumber(std::string_view text, uint64_t limit, uint64_t& value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value, base);
  return !text.empty() && error == std::errc() && stop == end && value <= limit;
}

// "C:K": a command given as one character or as a number, and a use count from 1.
bool parseNack(std::string_view text, NackFault& nack) {
  size_t colon = text.rfind(':');
  if (colon == std::string_view::npos || colon == 0) {
    return false;
  }
  std::string_view command = text.substr(0, colon);
  uint64_t byte = 0;
  uint64_t use = 0;
  if (command.size() == 1) {
    byte = static_cast<uint8_t>(command[0]);
  } else if (!parseNumber(command, 0xFF, byte)) {
    return false;
  }
  if (!parseNumber(text.substr(colon + 1), std::numeric_limits<uint32_t>::max(), use) || use == 0) {
    return false;
  }
  nack = {static_cast<uint8_t>(byte), static_cast<uint32_t>(use)};
  return true;
}

using ValueParser = bool (*)(std::string_view value, SimOptions& options);

struct OptionRow {
  std::string_view name;
  ValueParser parse;
  bool takesValue = true;  // a flag's parser gets an empty value
};

constexpr uint64_t kMaxCount = std::numeric_limits<uint64_t>::max();
constexpr uint64_t kMaxBaud = 4'000'000;
constexpr uint64_t kMaxLatencyMs = 10'000;  // half the updater's reply time-out
constexpr uint64_t kMaxCutDelayUs = 1'000'000'000;

// The options of the model that the emulated chip has no use for, and whether one was given.
struct ModelOnly {
  std::string_view name;
  bool (*given)(const SimOptions& options);
};

const ModelOnly kModelOnly[] = {
    {"--tally", [](const SimOptions& o) { return !o.tallyPath.empty(); }},
    {"--commands", [](const SimOptions& o) { return o.limits.commands != 0; }},
    {"--id", [](const SimOptions& o) { return o.faults.identifier.has_value(); }},
    {"--nack", [](const SimOptions& o) { return !o.faults.nacks.empty(); }},
    {"--corrupt", [](const SimOptions& o) { return o.faults.stuckAddress.has_value(); }},
    {"--no-block", [](const SimOptions& o) { return o.faults.noBlock; }},
    {"--baud", [](const SimOptions& o) { return o.line.baud != 0; }},
    {"--latency", [](const SimOptions& o) { return o.line.latencyMs != 0; }},
};

// "" when the options go together, else what is wrong.
std::string checkCombination(const SimOptions& options) {
  if (options.cutDelayUs && !(options.avr && options.faults.silentAfter)) {
    return "--cut-delay needs --avr and --silent-after";
  }
  for (const ModelOnly& option : kModelOnly) {
    if (options.avr && option.given(options)) {
      return std::string(option.name) + " does not apply to --avr";
    }
  }
  return "";
}

const OptionRow kOptions[] = {
    {"--help",
     [](std::string_view, SimOptions& o) {
       o.help = true;
       return true;
     },
     false},
    {"--version",
     [](std::string_view, SimOptions& o) {
       o.version = true;
       return true;
     },
     false},
    {"--no-block",
     [](std::string_view, SimOptions& o) {
       o.faults.noBlock = true;
       return true;
     },
     false},
    {"--avr",
     [](std::string_view, SimOptions& o) {
       o.avr = true;
       return true;
     },
     false},
    {"--cut-delay",
     [](std::string_view v, SimOptions& o) {
       uint64_t us = 0;
       bool ok = parseNumber(v, kMaxCutDelayUs, us);
       o.cutDelayUs = us;
       return ok;
     }},
    {"--baud",
     [](std::string_view v, SimOptions& o) {
       uint64_t baud = 0;
       bool ok = parseNumber(v, kMaxBaud, baud) && baud != 0;
       o.line.baud = static_cast<uint32_t>(baud);
       return ok;
     }},
    {"--latency",
     [](std::string_view v, SimOptions& o) {
       uint64_t ms = 0;
       bool ok = parseNumber(v, kMaxLatencyMs, ms);
       o.line.latencyMs = static_cast<uint32_t>(ms);
       return ok;
     }},
    {"--load",
     [](std::string_view v, SimOptions& o) {
       o.loadPath = std::string(v);
       return !v.empty();
     }},
    {"--dump",
     [](std::string_view v, SimOptions& o) {
       o.dumpPath = std::string(v);
       return !v.empty();
     }},
    {"--tally",
     [](std::string_view v, SimOptions& o) {
       o.tallyPath = std::string(v);
       return !v.empty();
     }},
    {"--sessions", [](std::string_view v,
                      SimOptions& o) { return parseNumber(v, kMaxCount, o.limits.sessions); }},
    {"--commands", [](std::string_view v,
                      SimOptions& o) { return parseNumber(v, kMaxCount, o.limits.commands); }},
    {"--id",
     [](std::string_view v, SimOptions& o) {
       o.faults.identifier = std::string(v);
       return true;
     }},
    {"--silent-after",
     [](std::string_view v, SimOptions& o) {
       uint64_t count = 0;
       bool ok = parseNumber(v, kMaxCount, count);
       o.faults.silentAfter = count;
       return ok;
     }},
    {"--nack",
     [](std::string_view v, SimOptions& o) {
       NackFault nack;
       bool ok = parseNack(v, nack);
       o.faults.nacks.push_back(nack);
       return ok;
     }},
    {"--corrupt",
     [](std::string_view v, SimOptions& o) {
       uint64_t address = 0;
       bool ok = parseNumber(v, kFlashBytes - 1, address);
       o.faults.stuckAddress = static_cast<uint32_t>(address);
       return ok;
     }},
};

}  // namespace

std::string parseSimOptions(const std::vector<std::string>& args, SimOptions& options) {
  for (size_t at = 0; at < args.size(); ++at) {
    const OptionRow* row = nullptr;
    for (const OptionRow& candidate : kOptions) {
      if (candidate.name == args[at]) {
        row = &candidate;
      }
    }
    if (row == nullptr) {
      return "unknown option: " + args[at];
    }
    if (!row->takesValue) {
      row->parse("", options);
      continue;
    }
    if (at + 1 == args.size()) {
      return "missing value after " + args[at];
    }
    ++at;
    if (!row->parse(args[at], options)) {
      return "bad value for " + args[at - 1] + ": " + args[at];
    }
  }
  return checkCombination(options);
}

}  // namespace quillmar::bootsim
