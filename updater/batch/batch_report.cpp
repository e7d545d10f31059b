// What a batch shows of its units: their ports' short names, the files their reads go to, and
// the summary line and table that end it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "batch/unit_batch.h"
#include "boot/boot_programmer.h"
#include "boot/firmware_version.h"
#include "boot/image_files.h"
#include "boot/kept_copies.h"

namespace quillmar::batch {
namespace {

// The failure a record gives when the operation showed no message (a version not found).
constexpr const char* kNoMessage = "failed";

// Both separators on every system: a folder given with either is meant as a folder.
constexpr const char* kSeparators = "/\\";

// The word for a unit whose operation succeeded, by the operation.
const char* doneWord(boot::Operation operation) {
  switch (operation) {
    case boot::Operation::Update:
      return "updated";
    case boot::Operation::Read:
      return "read";
    case boot::Operation::Verify:
      return "verified";
    case boot::Operation::Restore:
      return "restored";
    case boot::Operation::Version:
      return "answered";
  }
  return "done";
}

// `path` with "-" and `label` added before the extension of its last part (after it when it has
// none; a name's leading dot starts no extension).
std::string withLabel(const std::string& path, const std::string& label) {
  const std::size_t separator = path.find_last_of(kSeparators);
  const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  const std::size_t dot = path.rfind('.');
  std::string labelled = path;
  if (dot != std::string::npos && dot > nameStart)
    labelled.insert(dot, "-" + label);
  else
    labelled += "-" + label;
  return labelled;
}

// A unit's result in the table: ok, what kept it from programming, or its first failure line.
std::string resultText(const UnitResult& unit) {
  if (unit.exitStatus == boot::kExitSuccess) {
    if (unit.record.dryRun)
      return "dry run";
    return unit.result == boot::kAlreadyHeld ? "ok (already held)" : "ok";
  }
  if (unit.exitStatus == boot::kExitRefused)
    return "refused";
  if (unit.stopped)
    return "STOPPED";
  const std::string& failure = unit.record.failure;
  const std::string firstLine = failure.substr(0, failure.find('\n'));
  return firstLine.empty() || firstLine == kNoMessage ? "FAILED" : "FAILED: " + firstLine;
}

// The versions before -> after, as the history shows them.
std::string versionsText(const boot::OperationRecord& record) {
  return record.versionBefore.value_or(boot::kNoVersion) + " -> " +
         record.versionAfter.value_or(boot::kNoVersion);
}

// Whole seconds as m:ss.
std::string minutesAndSeconds(double seconds) {
  const long whole = static_cast<long>(seconds + 0.5);
  const long rest = whole % 60;
  return std::to_string(whole / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

}  // namespace

std::string portLabel(const std::string& device) {
  return boot::portNamePart(device);
}

bool namesFolder(const std::string& output) {
  return !output.empty() && std::string(kSeparators).find(output.back()) != std::string::npos;
}

boot::ImageFile readbackFor(const std::string& output, const std::string& folder,
                            const std::string& device) {
  const std::string label = portLabel(device);
  if (output.empty()) {
    boot::ImageFile file = boot::readbackFileIn(folder);
    file.path = withLabel(file.path, label);
    return file;
  }
  if (namesFolder(output))
    return boot::chosenReadbackFile(output + withLabel(boot::kReadbackFileName, label));
  return boot::chosenReadbackFile(withLabel(output, label));
}

std::string prefixedLines(const std::string& text, const std::string& prefix) {
  std::string lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    lines += prefix + text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return lines;
}

std::string batchSummary(boot::Operation operation, const std::vector<UnitResult>& results) {
  const auto done = std::count_if(results.begin(), results.end(), [](const UnitResult& unit) {
    return unit.exitStatus == boot::kExitSuccess;
  });
  return std::to_string(done) + " of " + std::to_string(results.size()) +
         (results.size() == 1 ? " unit " : " units ") + doneWord(operation);
}

std::string batchTable(const std::vector<UnitResult>& results) {
  using Row = std::array<std::string, 5>;
  std::vector<Row> rows = {{"port", "USB serial", "versions", "time", "result"}};
  for (const UnitResult& unit : results) {
    rows.push_back({unit.port, unit.usbSerial.empty() ? "-" : unit.usbSerial,
                    versionsText(unit.record), minutesAndSeconds(unit.seconds), resultText(unit)});
  }
  const Row::size_type last = rows.front().size() - 1;
  std::array<std::size_t, 5> widths{};
  for (const Row& row : rows) {
    for (Row::size_type column = 0; column < last; ++column)
      widths[column] = std::max(widths[column], row[column].size());
  }
  std::string table;
  for (const Row& row : rows) {
    for (Row::size_type column = 0; column < last; ++column)
      table += row[column] + std::string(widths[column] - row[column].size() + 2, ' ');
    table += row[last] + "\n";
  }
  return table;
}

}  // namespace quillmar::batch
