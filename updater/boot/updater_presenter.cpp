#include "boot/updater_presenter.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <system_error>
#include <utility>

#include "boot/serial_ports.h"
#include "platform/file_name.h"
#include "platform/sha256.h"

namespace quillmar::boot {
namespace {

// The whole operations that work on a file: which programmer call runs them on which of the
// two files, their name in a record, and their status texts before the operation and after it
// by outcome. Read's start text is followed by the name of the file it writes and "...".
using FileOperation = int (BootProgrammer::*)(int portIndex, const ImageFile& file);
struct FileFlow {
  Operation operation;
  FileOperation run;
  bool onReadback;
  const char* name;
  const char* start;
  const char* success;
  const char* failure;
};

constexpr FileFlow kFileFlows[] = {
    {Operation::Update, &BootProgrammer::updateApplication, false, "update", kProgrammingStatus,
     "QUILLmar Updated!", "UPDATE FAILED!"},
    {Operation::Read, &BootProgrammer::readApplication, true, "read", "Reading App to ",
     "Read Completed!", "READ FAILED!"},
    {Operation::Verify, &BootProgrammer::verifyApplication, false, "verify", "Verifying Data...",
     "Verify Completed!", "VERIFY FAILED!"},
    {Operation::Restore, &BootProgrammer::restoreApplication, false, "restore", kRestoringStatus,
     "QUILLmar Restored!", "RESTORE FAILED!"},
};

// A dry run's texts: before it, and after it by its result.
constexpr const char* kDryRunStart = "Dry run: reading the unit...";
constexpr const char* kDryRunGoesAhead = "Dry run: the update would go ahead";
constexpr const char* kDryRunRefused = "Dry run: the update would be refused";
constexpr const char* kDryRunNothing = "Dry run: there is nothing to program";

// The operations whose records go into the history.
bool recordedInHistory(Operation operation) {
  return operation == Operation::Update || operation == Operation::Restore ||
         operation == Operation::Read;
}

bool programs(Operation operation) {
  return operation == Operation::Update || operation == Operation::Restore;
}

// The SHA-256 of a file's bytes, or "" when it can't be read.
std::string fileDigest(const std::string& path) {
  std::ifstream in(platform::pathFromName(path), std::ios::binary);
  if (!in)
    return "";
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad())
    return "";
  return platform::sha256Hex({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

// The USB serial number of the adapter behind `device` as the port list tells it; a Windows
// device "\\.\COM5" is listed as "COM5".
std::string listedSerialNumber(const std::string& device) {
  const std::string prefix = R"(\\.\)";
  const std::string name = device.rfind(prefix, 0) == 0 ? device.substr(prefix.size()) : device;
  for (const SerialPortInfo& port : listSerialPortDetails()) {
    if (port.name == name || (!port.stableName.empty() && port.stableName == name))
      return port.serialNumber;
  }
  return "";
}

// The status that ends an operation with `result`.
const char* outcomeStatus(const FileFlow& flow, int result, bool dryRun) {
  if (dryRun) {
    return result == 0                 ? kDryRunGoesAhead
           : result == kAlreadyHeld    ? kDryRunNothing
           : result == kVersionRefused ? kDryRunRefused
                                       : flow.failure;
  }
  if (result == kAlreadyHeld)
    return kAlreadyHeldStatus;
  if (result == kVersionRefused)
    return kRefusedStatus;
  return result == 0 ? flow.success : flow.failure;
}

}  // namespace

void UpdaterPresenter::Tap::showMessage(const std::string& text) {
  lastMessage = text;
  ui_.showMessage(text);
}

void UpdaterPresenter::Tap::showFileMessage(const std::string& text,
                                            const std::string& diagnostics) {
  lastMessage = text;
  ui_.showFileMessage(text, diagnostics);
}

void UpdaterPresenter::Tap::linkOpened(const std::string& opened) {
  device = opened;
  ui_.linkOpened(opened);
}

UpdaterPresenter::UpdaterPresenter(OperationUi& ui, std::ostream& diag, link::PortDevices devices,
                                   uint16_t replyTimeoutMs)
    : ui_(ui),
      diag_(diag),
      tap_(ui),
      programmer_(tap_, diag, std::move(devices), replyTimeoutMs),
      serialOf_(listedSerialNumber) {}

bool UpdaterPresenter::run(Operation operation, int portIndex, const std::string& programFolder) {
  return run(operation, portIndex, imageFileIn(programFolder), readbackFileIn(programFolder));
}

bool UpdaterPresenter::run(Operation operation, int portIndex, const ImageFile& image,
                           const ImageFile& readback) {
  const auto* flow = std::find_if(std::begin(kFileFlows), std::end(kFileFlows),
                                  [&](const FileFlow& f) { return f.operation == operation; });
  if (flow == std::end(kFileFlows))
    return runVersion(portIndex);
  const UpdateSafety& safety = programmer_.safety();
  const bool dryRun = programs(operation) && safety.dryRun && !safety.legacy;
  const ImageFile& file = flow->onReadback ? readback : image;
  const std::time_t started = std::time(nullptr);
  const auto clockStarted = std::chrono::steady_clock::now();
  tap_.lastMessage.clear();
  tap_.device.clear();
  ui_.setStatus(dryRun ? kDryRunStart
                : flow->onReadback
                    ? flow->start +
                          platform::nameFromPath(platform::pathFromName(file.path).filename()) +
                          "..."
                    : flow->start);
  lastResult_ = (programmer_.*flow->run)(portIndex, file);
  ui_.setStatus(outcomeStatus(*flow, lastResult_, dryRun));
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - clockStarted;
  record(operation, file, started, took.count());
  return exitStatusOf(lastResult_) == kExitSuccess;
}

bool UpdaterPresenter::runVersion(int portIndex) {
  const std::time_t started = std::time(nullptr);
  const auto clockStarted = std::chrono::steady_clock::now();
  tap_.lastMessage.clear();
  tap_.device.clear();
  ui_.setStatus("Fetching version. Please wait...");
  const std::string version = programmer_.queryVersion(portIndex);
  ui_.setStatus("QUILLmar Version " + version);
  const bool found = version != kNoVersion;
  lastResult_ = found ? 0 : -1;
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - clockStarted;
  record(Operation::Version, {}, started, took.count());
  if (found)
    record_.versionBefore = record_.versionAfter = version;
  return found;
}

// Fills the record of the operation just run, and appends it to the history where it belongs
// there. A history that can't be written costs the user only a line on the diagnostic stream:
// the operation itself has ended as it has.
void UpdaterPresenter::record(Operation operation, const ImageFile& file, std::time_t started,
                              double seconds) {
  const auto* flow = std::find_if(std::begin(kFileFlows), std::end(kFileFlows),
                                  [&](const FileFlow& f) { return f.operation == operation; });
  const BootProgrammer::Facts& facts = programmer_.facts();
  const UpdateSafety& safety = programmer_.safety();
  OperationRecord record;
  record.time = isoLocalTime(started);
  record.operation = flow == std::end(kFileFlows) ? "version" : flow->name;
  record.port = tap_.device;
  record.usbSerial = serialOf_ && !record.port.empty() ? serialOf_(record.port) : "";
  record.exitStatus = exitStatusOf(lastResult_);
  record.dryRun = programs(operation) && safety.dryRun && !safety.legacy;
  if (facts.versionsKnown) {
    record.versionBefore = facts.versions.unit;
    const bool programmed = programs(operation) && lastResult_ == 0 && !record.dryRun;
    if (programmed)
      record.versionAfter = facts.versions.image;
    else if (!facts.erased)
      record.versionAfter = facts.versions.unit;
  }
  if (!file.path.empty() && (operation != Operation::Read || lastResult_ == 0)) {
    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(platform::pathFromName(file.path), error);
    record.image = error ? file.path : platform::nameFromPath(absolute);
    record.imageSha256 = fileDigest(file.path);
  }
  record.backup = facts.keptCopy;
  record.bytesProgrammed = facts.bytesProgrammed;
  if (record.exitStatus == kExitRefused)
    record.failure = "refused by the version gate: " + versionLine(facts.versions);
  else if (record.exitStatus != kExitSuccess)
    record.failure = tap_.lastMessage.empty() ? "failed" : tap_.lastMessage;
  record.durationSeconds = seconds;
  record_ = record;
  if (safety.legacy || record.dryRun || !recordedInHistory(operation) || safety.dataFolder.empty())
    return;
  if (const std::optional<std::string> failure = appendHistory(safety.dataFolder, record))
    diag_ << "quillmar: " << *failure << '\n';
}

}  // namespace quillmar::boot
