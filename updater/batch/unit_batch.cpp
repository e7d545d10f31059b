// UnitBatch's run: the image loaded once, then one thread per unit, each with its own
// presenter, programmer, link and buffers, and its own diagnostic stream passed on whole.
#include "batch/unit_batch.h"

#include <chrono>
#include <exception>
#include <mutex>
#include <ostream>
#include <sstream>
#include <system_error>
#include <thread>
#include <utility>

#include "boot/boot_programmer.h"
#include "boot/serial_ports.h"

namespace quillmar::batch {
namespace {

bool loadsImage(boot::Operation operation) {
  return operation == boot::Operation::Update || operation == boot::Operation::Verify ||
         operation == boot::Operation::Restore;
}

}  // namespace

struct UnitBatch::Shared {
  Shared(BatchPlan batchPlan, std::ostream& diagnostics)
      : plan(std::move(batchPlan)), diag(diagnostics) {}

  const BatchPlan plan;
  std::ostream& diag;
  std::mutex diagMutex;  // one unit's diagnostics at a time
  std::atomic<bool> stop{false};
  bool prepared = false;
  std::optional<std::string> refusal;
  std::vector<std::pair<std::string, boot::LoadedImage>> images;  // by path, each loaded once

  const boot::ImageFile& imageOf(const UnitPort& port) const {
    return port.image.path.empty() ? plan.image : port.image;
  }
  const boot::LoadedImage* loaded(const std::string& path) const;
  std::optional<std::string> load(const boot::ImageFile& file);
  UnitResult runUnit(const UnitPort& port, boot::OperationUi& ui);
  void passOn(const std::string& label, const std::string& diagnostics);
};

// One unit's whole operation, on its own thread: nothing in it is shared with another unit but
// the plan and the image, which it only reads.
UnitResult UnitBatch::Shared::runUnit(const UnitPort& port, boot::OperationUi& ui) {
  UnitResult result;
  result.port = portLabel(port.device);
  result.device = port.device;
  result.usbSerial = port.usbSerial;
  const auto started = std::chrono::steady_clock::now();
  std::ostringstream unitDiag;
  try {
    boot::UpdaterPresenter presenter(ui, unitDiag, {port.device, "", "", ""}, plan.replyTimeoutMs);
    presenter.setSerialLookup([serial = port.usbSerial](const std::string&) { return serial; });
    boot::BootProgrammer& programmer = presenter.programmer();
    programmer.setBlockMode(plan.block);
    programmer.setSafety(plan.safety);
    programmer.useLoadedImage(loaded(imageOf(port).path));
    programmer.setStopRequest(&stop);
    presenter.run(plan.operation, 0, imageOf(port),
                  readbackFor(plan.output, plan.folder, port.device));
    result.result = presenter.lastResult();
    result.record = presenter.lastRecord();
  } catch (const std::exception& error) {
    // Out of memory or threads: this unit fails, the others go on.
    result.result = -1;
    result.record.failure = error.what();
    result.record.exitStatus = boot::kExitFailure;
  }
  if (result.record.port.empty())
    result.record.port = port.device;  // the port did not open: still say which it was
  result.record.usbSerial = port.usbSerial;
  result.exitStatus = boot::exitStatusOf(result.result);
  result.stopped = stop.load() && result.exitStatus != boot::kExitSuccess;
  result.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  passOn(result.port, unitDiag.str());
  return result;
}

// The image loaded from `path`; null for an operation without one.
const boot::LoadedImage* UnitBatch::Shared::loaded(const std::string& path) const {
  for (const auto& [loadedPath, image] : images) {
    if (loadedPath == path)
      return &image;
  }
  return nullptr;
}

// Loads `file` unless it is loaded already; the refusal when it must not be programmed.
std::optional<std::string> UnitBatch::Shared::load(const boot::ImageFile& file) {
  if (loaded(file.path))
    return std::nullopt;
  std::string refused;
  std::optional<boot::LoadedImage> image =
      boot::loadImageOnce(file, plan.operation == boot::Operation::Restore, diag, refused);
  if (!image)
    return refused;
  images.emplace_back(file.path, std::move(*image));
  return std::nullopt;
}

// Hands one unit's diagnostics to the batch's stream in one piece.
void UnitBatch::Shared::passOn(const std::string& label, const std::string& diagnostics) {
  if (diagnostics.empty())
    return;
  const std::lock_guard<std::mutex> lock(diagMutex);
  diag << prefixedLines(diagnostics, label + ": ") << std::flush;
}

UnitBatch::UnitBatch(BatchPlan plan, std::ostream& diag)
    : shared_(std::make_unique<Shared>(std::move(plan), diag)) {}

UnitBatch::~UnitBatch() = default;

std::optional<std::string> UnitBatch::prepare() {
  Shared& shared = *shared_;
  if (shared.prepared)
    return shared.refusal;
  shared.prepared = true;
  if (!loadsImage(shared.plan.operation))
    return std::nullopt;
  for (const UnitPort& port : shared.plan.ports) {
    shared.refusal = shared.load(shared.imageOf(port));
    if (shared.refusal)
      break;
  }
  return shared.refusal;
}

std::vector<UnitResult> UnitBatch::run(const UiFor& uiFor) {
  if (prepare())
    return {};
  Shared& shared = *shared_;
  const std::vector<UnitPort>& ports = shared.plan.ports;
  std::vector<boot::OperationUi*> uis;
  for (std::size_t unit = 0; unit < ports.size(); ++unit)
    uis.push_back(&uiFor(unit));
  std::vector<UnitResult> results(ports.size());
  std::vector<std::thread> threads;
  for (std::size_t unit = 0; unit < ports.size(); ++unit) {
    const auto runOne = [&shared, &ports, &uis, &results, unit] {
      results[unit] = shared.runUnit(ports[unit], *uis[unit]);
    };
    try {
      threads.emplace_back(runOne);
    } catch (const std::system_error&) {
      runOne();  // no thread to be had: this unit runs here, the others go on
    }
  }
  for (std::thread& thread : threads)
    thread.join();
  return results;
}

void UnitBatch::stop() {
  shared_->stop.store(true);
}

}  // namespace quillmar::batch
