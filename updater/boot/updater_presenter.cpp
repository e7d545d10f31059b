#include "boot/updater_presenter.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <utility>

#include "platform/file_name.h"

namespace quillmar::boot {
namespace {

// The whole operations that work on a file: which programmer call runs them on which of the
// two files, and their status texts before the operation and after it by outcome. Read's start
// text is followed by the name of the file it writes and "...".
using FileOperation = int (BootProgrammer::*)(int portIndex, const ImageFile& file);
struct FileFlow {
  Operation operation;
  FileOperation run;
  bool onReadback;
  const char* start;
  const char* success;
  const char* failure;
};

constexpr FileFlow kFileFlows[] = {
    {Operation::Update, &BootProgrammer::updateApplication, false, kProgrammingStatus,
     "QUILLmar Updated!", "UPDATE FAILED!"},
    {Operation::Read, &BootProgrammer::readApplication, true, "Reading App to ", "Read Completed!",
     "READ FAILED!"},
    {Operation::Verify, &BootProgrammer::verifyApplication, false, "Verifying Data...",
     "Verify Completed!", "VERIFY FAILED!"},
};

}  // namespace

UpdaterPresenter::UpdaterPresenter(OperationUi& ui, std::ostream& diag, link::PortDevices devices,
                                   uint16_t replyTimeoutMs)
    : ui_(ui), programmer_(ui, diag, std::move(devices), replyTimeoutMs) {}

bool UpdaterPresenter::run(Operation operation, int portIndex, const std::string& programFolder) {
  return run(operation, portIndex, imageFileIn(programFolder), readbackFileIn(programFolder));
}

bool UpdaterPresenter::run(Operation operation, int portIndex, const ImageFile& image,
                           const ImageFile& readback) {
  const auto* flow = std::find_if(std::begin(kFileFlows), std::end(kFileFlows),
                                  [&](const FileFlow& f) { return f.operation == operation; });
  if (flow == std::end(kFileFlows))
    return runVersion(portIndex);
  const ImageFile& file = flow->onReadback ? readback : image;
  ui_.setStatus(flow->onReadback
                    ? flow->start +
                          platform::nameFromPath(platform::pathFromName(file.path).filename()) +
                          "..."
                    : flow->start);
  const int result = (programmer_.*flow->run)(portIndex, file);
  ui_.setStatus(result == 0 ? flow->success : flow->failure);
  return result == 0;
}

bool UpdaterPresenter::runVersion(int portIndex) {
  ui_.setStatus("Fetching version. Please wait...");
  const std::string version = programmer_.queryVersion(portIndex);
  ui_.setStatus("QUILLmar Version " + version);
  return version != kNoVersion;
}

}  // namespace quillmar::boot
