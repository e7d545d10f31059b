#include "cli/batch_command.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <system_error>

#include "batch/unit_batch.h"
#include "boot/kept_copies.h"
#include "boot/operation_record.h"
#include "boot/port_search.h"
#include "cli/batch_console.h"
#include "cli/console_ui.h"
#include "platform/file_name.h"
#include "platform/terminal.h"

namespace quillmar::cli {
namespace {

constexpr const char* kAllPorts = "all";

// The USB serial number the port list gives for `device` ("" where none); a Windows device
// "\\.\COM5" is listed as "COM5".
std::string listedSerial(const std::vector<boot::SerialPortInfo>& listing,
                         const std::string& device) {
  const std::string prefix = R"(\\.\)";
  const std::string name = device.rfind(prefix, 0) == 0 ? device.substr(prefix.size()) : device;
  for (const boot::SerialPortInfo& port : listing) {
    if (port.name == name || (!port.stableName.empty() && port.stableName == name))
      return port.serialNumber;
  }
  return "";
}

// The device a --port value opens: COM1..COM4 their devices in the platform's table, anything
// else as one operation opens it (choosePort).
std::string deviceOf(const std::string& port) {
  const PortChoice choice = choosePort(port);
  const bool inTable = choice.portIndex >= 0 && choice.portIndex < boot::kPortCount;
  return inTable ? choice.devices[choice.portIndex] : port;
}

// The units' ports: those given, or with "all" every listed port whose boot loader answers,
// after the lines on `err` that say which were skipped and why.
std::vector<batch::UnitPort> unitPorts(const BatchRequest& request, const PortLister& ports,
                                       uint16_t probeTimeoutMs, std::ostream& err) {
  const std::vector<boot::SerialPortInfo> listing = ports();
  std::vector<batch::UnitPort> units;
  if (request.ports.front() != kAllPorts) {
    for (const std::string& port : request.ports) {
      const std::string device = deviceOf(port);
      units.push_back({device, listedSerial(listing, device)});
    }
    return units;
  }
  std::vector<std::string> devices;
  for (const boot::SerialPortInfo& port : listing)
    devices.push_back(port.name);
  const std::vector<boot::PortProbe> probes = boot::probeEach(devices, probeTimeoutMs);
  err << boot::describeProbes(probes) << std::flush;
  for (std::size_t i = 0; i < probes.size(); ++i) {
    if (boot::answered(probes[i]))
      units.push_back({listing[i].name, listing[i].serialNumber});
  }
  return units;
}

// Gives each unit its own newest kept copy, for a restore given no file. False, after a line on
// `err` for each unit without one, when a unit has none: then nothing is restored.
bool findOwnCopies(std::vector<batch::UnitPort>& units, const std::string& dataFolder,
                   std::ostream& err) {
  const std::string folder = boot::backupsFolder(dataFolder);
  const std::vector<boot::KeptCopy> copies = boot::listKeptCopies(folder);
  bool all = true;
  for (batch::UnitPort& unit : units) {
    const std::string port = boot::portNamePart(unit.device);
    const auto copy = std::find_if(copies.begin(), copies.end(),
                                   [&](const boot::KeptCopy& c) { return c.port == port; });
    if (copy == copies.end()) {
      err << "no kept copy of " << port << " in " << folder << ": nothing to restore\n";
      all = false;
    } else {
      unit.image = boot::chosenImageFile(copy->path);
    }
  }
  err << std::flush;
  return all;
}

// The end of a batch that ran no unit: with --json the empty array, and the failure status.
int noUnitRan(const BatchRequest& request, std::ostream& out) {
  if (request.json)
    out << "[]\n" << std::flush;
  return boot::kExitFailure;
}

}  // namespace

int runBatch(const BatchRequest& request, std::ostream& out, std::ostream& err, bool errIsTerminal,
             const PortLister& ports, uint16_t probeTimeoutMs, uint16_t replyTimeoutMs) {
  batch::BatchPlan plan;
  plan.operation = request.operation;
  plan.ports = unitPorts(request, ports, probeTimeoutMs, err);
  if (plan.ports.empty() ||
      (request.ownCopies && !findOwnCopies(plan.ports, request.safety.dataFolder, err)))
    return noUnitRan(request, out);
  if (request.operation == boot::Operation::Read && batch::namesFolder(request.output)) {
    std::error_code ignored;  // a folder that can't be made fails each unit's read, named
    std::filesystem::create_directories(platform::pathFromName(request.output), ignored);
  }
  plan.image = request.image;
  plan.output = request.output;
  plan.folder = request.folder;
  plan.safety = request.safety;
  plan.block = request.block;
  plan.replyTimeoutMs = replyTimeoutMs;

  std::vector<std::string> labels;
  for (const batch::UnitPort& port : plan.ports)
    labels.push_back(batch::portLabel(port.device));
  std::ostream& statusStream = request.json ? err : out;
  BatchConsole console(out, err, labels,
                       errIsTerminal && platform::standardErrorTakesCursorMoves());
  PrefixedLines diagLines(console, err, "");
  std::ostream diag(&diagLines);
  batch::UnitBatch batch(plan, diag);
  if (const std::optional<std::string> refusal = batch.prepare()) {
    diag << std::flush;
    ConsoleUi(out, err, false).showMessage(*refusal);  // no progress line is drawn yet
    return noUnitRan(request, out);
  }
  diag << std::flush;
  std::vector<std::unique_ptr<UnitConsole>> uis;
  for (std::size_t unit = 0; unit < labels.size(); ++unit) {
    uis.push_back(std::make_unique<UnitConsole>(console, unit, labels[unit], request.json));
    uis.back()->consoleUi().describeOperation(request.operation, request.block,
                                              !request.safety.legacy);
  }
  const std::vector<batch::UnitResult> results =
      batch.run([&](std::size_t unit) -> boot::OperationUi& { return *uis[unit]; });
  console.finish();
  statusStream << batch::batchTable(results) << batch::batchSummary(request.operation, results)
               << '\n'
               << std::flush;
  if (request.json) {
    std::vector<boot::OperationRecord> records;
    for (const batch::UnitResult& result : results)
      records.push_back(result.record);
    out << boot::recordsJson(records) << '\n' << std::flush;
  }
  const bool allSucceeded = std::all_of(
      results.begin(), results.end(),
      [](const batch::UnitResult& unit) { return unit.exitStatus == boot::kExitSuccess; });
  return allSucceeded ? boot::kExitSuccess : boot::kExitFailure;
}

}  // namespace quillmar::cli
