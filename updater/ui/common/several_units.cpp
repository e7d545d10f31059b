// The "Several units" window's rows and runs.
#include "ui/common/several_units.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "boot/boot_programmer.h"
#include "boot/firmware_version.h"
#include "boot/kept_copies.h"
#include "boot/operation_record.h"
#include "boot/serial_ports.h"
#include "ui/common/kept_copy_choice.h"

namespace quillmar::ui {

const char kStopQuestion[] =
    "Stop the units still running? A stopped update leaves its unit as a failed update does: "
    "update it again, or restore the copy kept of it.";
const char kNothingTicked[] = "Tick the ports of the units to run on first.";
const char kRestoreQuestion[] = "Program each ticked unit with its own newest kept copy?";

namespace {

// The words of a row's outcome.
constexpr const char* kSucceeded = "OK";
constexpr const char* kAlreadyHeld = "OK (already held)";
constexpr const char* kFailed = "FAILED";
constexpr const char* kStopped = "Stopped";
constexpr const char* kStoppedUpdate = "Stopped: left as after a failed update";
constexpr const char* kNotUpdated = "Not updated: ";
// The description of a port given on the command line that the system does not list.
constexpr const char* kGivenPort = "given on the command line";

// Each row of `rows` with the newest of `copies` kept of its unit (null for none).
std::vector<std::pair<const UnitRow*, const boot::KeptCopy*>> ownCopies(
    const std::vector<const UnitRow*>& rows, const std::vector<boot::KeptCopy>& copies) {
  std::vector<std::pair<const UnitRow*, const boot::KeptCopy*>> own;
  for (const UnitRow* row : rows) {
    const std::string port = boot::portNamePart(row->device);
    const auto copy = std::find_if(copies.begin(), copies.end(),
                                   [&](const boot::KeptCopy& c) { return c.port == port; });
    own.emplace_back(row, copy == copies.end() ? nullptr : &*copy);
  }
  return own;
}

// The last part of a path: the file a unit was read into.
std::string fileName(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

// What a succeeded unit's row says: the versions an update or restore went between, the file a
// read wrote.
std::string successText(boot::Operation operation, const batch::UnitResult& unit) {
  if (unit.result == boot::kAlreadyHeld)
    return kAlreadyHeld;
  const boot::OperationRecord& record = unit.record;
  switch (operation) {
    case boot::Operation::Update:
    case boot::Operation::Restore:
      return std::string(kSucceeded) + ", " + record.versionBefore.value_or(boot::kNoVersion) +
             " -> " + record.versionAfter.value_or(boot::kNoVersion);
    case boot::Operation::Read:
      return std::string(kSucceeded) + ", " + fileName(record.image);
    case boot::Operation::Verify:
    case boot::Operation::Version:
      break;
  }
  return kSucceeded;
}

// The outcome of one unit once its operation has ended; `told` is what its row said meanwhile
// (its failure messages, or the version gate's refusal).
std::string outcomeText(boot::Operation operation, const batch::UnitResult& unit,
                        const std::string& told) {
  if (unit.stopped) {
    const bool erases =
        operation == boot::Operation::Update || operation == boot::Operation::Restore;
    return erases ? kStoppedUpdate : kStopped;
  }
  if (unit.exitStatus == boot::kExitSuccess)
    return successText(operation, unit);
  if (unit.exitStatus == boot::kExitRefused)
    return told.starts_with(kNotUpdated) ? told : kNotUpdated + told;
  const std::string& failure = told.empty() ? unit.record.failure : told;
  return failure.empty() ? kFailed : std::string(kFailed) + ": " + failure;
}

// A row's state once its unit has ended.
UnitState endState(const batch::UnitResult& unit) {
  if (unit.stopped)
    return UnitState::Stopped;
  return unit.exitStatus == boot::kExitSuccess ? UnitState::Succeeded : UnitState::Failed;
}

// A port given on the command line that the system does not list.
boot::SerialPortInfo givenPort(const std::string& device) {
  boot::SerialPortInfo port;
  port.name = device;
  port.description = kGivenPort;
  return port;
}

// A fresh row for a port the list shows for the first time: every USB adapter ticked, and the
// ports the user named.
UnitRow newRow(const boot::SerialPortInfo& port) {
  UnitRow row;
  row.device = port.name;
  row.name = batch::portLabel(port.name);
  row.ticked = port.usb || port.description == kGivenPort;
  return row;
}

}  // namespace

bool marked(const UnitRow& row) {
  return row.state == UnitState::Failed || row.state == UnitState::Stopped;
}

// One unit's user interface: everything it is told lands in its row, under the model's lock,
// and the view hears of the change. It answers the version gate with no, saying so in the row.
class SeveralUnits::RowUi : public boot::OperationUi {
 public:
  RowUi(SeveralUnits& model, std::size_t row) : model_(model), row_(row) {}

  void showMessage(const std::string& text) override {
    update([&](UnitRow& row) {
      row.outcome += (row.outcome.empty() ? "" : "\n") + text;
      return true;
    });
  }
  void setProgressRange(int steps) override {
    update([&](UnitRow& row) {
      const bool moved = row.progressRange != steps || row.progressPosition != 0;
      row.progressRange = steps;
      row.progressPosition = 0;
      return moved;
    });
  }
  void setProgressPosition(int step) override {
    update([&](UnitRow& row) { return std::exchange(row.progressPosition, step) != step; });
  }
  void setStatus(const std::string& text) override {
    update([&](UnitRow& row) { return std::exchange(row.status, text) != text; });
  }
  bool confirmVersion(const boot::VersionPair& versions, boot::GateVerdict) override {
    update([&](UnitRow& row) {
      row.outcome = kNotUpdated + boot::versionLine(versions);
      return true;
    });
    return false;
  }

 private:
  // Applies `change` to the row under the lock; tells the view when it changed anything.
  template <class Change>
  void update(Change change) {
    bool changed = false;
    {
      const std::lock_guard<std::mutex> lock(model_.mutex_);
      changed = change(model_.rows_[row_]);
    }
    if (changed)
      model_.changed(row_);
  }

  SeveralUnits& model_;
  std::size_t row_;
};

SeveralUnits::SeveralUnits(const DialogSettings& settings, std::ostream& diag)
    : settings_(settings), diag_(diag) {
  if (!settings_.listPorts)
    settings_.listPorts = [] { return boot::listSerialPortDetails(); };
  readPorts();
}

SeveralUnits::~SeveralUnits() {
  stop();
  if (worker_.joinable())
    worker_.join();
}

bool SeveralUnits::readPorts() {
  if (running())
    return false;
  // Only this thread changes the rows while no run is under way: the list is read unlocked.
  std::vector<boot::SerialPortInfo> ports = settings_.listPorts();
  for (const std::string& given : settings_.givenPorts) {
    if (std::none_of(ports.begin(), ports.end(),
                     [&](const boot::SerialPortInfo& port) { return port.name == given; }))
      ports.push_back(givenPort(given));
  }
  std::vector<UnitRow> rows;
  const std::lock_guard<std::mutex> lock(mutex_);
  for (const boot::SerialPortInfo& port : ports) {
    const auto known = std::find_if(rows_.begin(), rows_.end(),
                                    [&](const UnitRow& row) { return row.device == port.name; });
    UnitRow row = known == rows_.end() ? newRow(port) : *known;
    row.description = port.description;
    row.usbSerial = port.serialNumber;
    row.usb = port.usb;
    rows.push_back(std::move(row));
  }
  const bool same =
      std::equal(rows.begin(), rows.end(), rows_.begin(), rows_.end(),
                 [](const UnitRow& a, const UnitRow& b) { return a.device == b.device; });
  rows_ = std::move(rows);
  return !same;
}

std::size_t SeveralUnits::size() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return rows_.size();
}

UnitRow SeveralUnits::row(std::size_t index) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return rows_.at(index);
}

std::vector<UnitRow> SeveralUnits::rows() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return rows_;
}

void SeveralUnits::tick(std::size_t index, bool ticked) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!running_ && index < rows_.size())
    rows_[index].ticked = ticked;
}

SeveralUnits::RestoreCheck SeveralUnits::restoreCheck() const {
  const std::string folder = boot::backupsFolder(settings_.safety.dataFolder);
  const std::vector<boot::KeptCopy> copies = boot::listKeptCopies(folder);
  const std::lock_guard<std::mutex> lock(mutex_);
  std::vector<const UnitRow*> ticked;
  for (const UnitRow& row : rows_) {
    if (row.ticked)
      ticked.push_back(&row);
  }
  if (ticked.empty())
    return {false, kNothingTicked};
  RestoreCheck check{true, kRestoreQuestion};
  std::string missing;
  for (const auto& [row, copy] : ownCopies(ticked, copies)) {
    if (copy == nullptr)
      missing += "No kept copy of " + row->name + " in " + folder + ": nothing to restore.\n";
    else
      check.text += "\n" + row->name + ": " + keptCopyLine(*copy);
  }
  if (!missing.empty())
    return {false, missing.substr(0, missing.size() - 1)};
  return check;
}

std::vector<std::size_t> SeveralUnits::tickedRows(boot::Operation operation,
                                                  std::vector<batch::UnitPort>& ports) const {
  const std::vector<boot::KeptCopy> copies =
      operation == boot::Operation::Restore
          ? boot::listKeptCopies(boot::backupsFolder(settings_.safety.dataFolder))
          : std::vector<boot::KeptCopy>();
  std::vector<std::size_t> units;
  const std::lock_guard<std::mutex> lock(mutex_);
  for (std::size_t index = 0; index < rows_.size(); ++index) {
    const UnitRow& row = rows_[index];
    if (!row.ticked)
      continue;
    units.push_back(index);
    batch::UnitPort port{row.device, row.usbSerial};
    if (const boot::KeptCopy* copy = ownCopies({&row}, copies).front().second)
      port.image = keptCopyImage(*copy);
    ports.push_back(std::move(port));
  }
  return units;
}

std::optional<std::string> SeveralUnits::start(boot::Operation operation,
                                               const boot::OperationFiles& files,
                                               const RunChoices& choices) {
  if (running())
    return std::nullopt;
  if (worker_.joinable())
    worker_.join();  // the last run's worker, which has ended
  if (operation == boot::Operation::Restore) {
    const RestoreCheck check = restoreCheck();
    if (!check.ready)
      return check.text;
  }
  batch::BatchPlan plan;
  plan.operation = operation;
  const std::vector<std::size_t> units = tickedRows(operation, plan.ports);
  if (units.empty())
    return kNothingTicked;
  plan.image = files.image;
  plan.output = files.readback.path;
  plan.folder = settings_.programFolder;
  plan.safety = settings_.safety;
  plan.safety.keepCopy = choices.keepCopy && !plan.safety.legacy;
  plan.block = choices.fast;
  plan.replyTimeoutMs = settings_.replyTimeoutMs;
  auto batch = std::make_unique<batch::UnitBatch>(std::move(plan), diag_);
  if (std::optional<std::string> refusal = batch->prepare())
    return refusal;  // before any port opens; the rows keep the last run's marks

  batch_ = std::move(batch);
  operation_ = operation;
  uis_.clear();
  const std::lock_guard<std::mutex> lock(mutex_);
  for (UnitRow& row : rows_) {
    row.progressRange = 100;
    row.progressPosition = 0;
    row.status.clear();
    row.outcome.clear();
    row.state = UnitState::Idle;
  }
  for (const std::size_t index : units) {
    rows_[index].state = UnitState::Running;
    uis_.push_back(std::make_unique<RowUi>(*this, index));
  }
  running_ = true;
  summary_.clear();
  worker_ = std::thread(&SeveralUnits::runBatch, this, units);
  return std::nullopt;
}

bool SeveralUnits::running() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

void SeveralUnits::stop() {
  if (running())
    batch_->stop();
}

std::string SeveralUnits::summary() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return summary_;
}

void SeveralUnits::runBatch(std::vector<std::size_t> units) {
  std::vector<batch::UnitResult> results;
  std::string trouble;
  try {
    results = batch_->run([this](std::size_t unit) -> boot::OperationUi& { return *uis_[unit]; });
  } catch (const std::exception& error) {
    trouble = error.what();  // out of memory or threads: every unit counts as failed
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    results.resize(units.size());  // nothing where the run broke off
    for (std::size_t unit = 0; unit < units.size(); ++unit) {
      batch::UnitResult& result = results[unit];
      if (!trouble.empty()) {
        result.exitStatus = boot::kExitFailure;
        result.record.failure = trouble;
      }
      UnitRow& row = rows_[units[unit]];
      row.outcome = outcomeText(operation_, result, row.outcome);
      row.state = endState(result);
    }
    summary_ = batch::batchSummary(operation_, results);
    running_ = false;
  }
  if (runEnded_)
    runEnded_();
}

void SeveralUnits::changed(std::size_t index) const {
  if (rowChanged_)
    rowChanged_(index);
}

}  // namespace quillmar::ui
