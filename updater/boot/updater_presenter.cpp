#include "updater/boot/updater_presenter.h"

#include <utility>

namespace quillmar::boot {
namespace {

// The status texts of Update and Read: before the operation, and after it by outcome.
struct FlowTexts {
  const char* start;
  const char* success;
  const char* failure;
};

constexpr FlowTexts kUpdateTexts{kProgrammingStatus, "QUILLmar Updated!", "UPDATE FAILED!"};
constexpr FlowTexts kReadTexts{"Reading App to quillread.hex...", "Read Completed!",
                               "READ FAILED!"};

}  // namespace

UpdaterPresenter::UpdaterPresenter(OperationUi& ui, std::ostream& diag, link::PortDevices devices,
                                   uint16_t replyTimeoutMs)
    : ui_(ui), programmer_(ui, diag, std::move(devices), replyTimeoutMs) {}

bool UpdaterPresenter::run(Operation operation, int portIndex, const std::string& programFolder) {
  if (operation == Operation::Version)
    return runVersion(portIndex);
  const bool update = operation == Operation::Update;
  const FlowTexts& texts = update ? kUpdateTexts : kReadTexts;
  ui_.setStatus(texts.start);
  const int result = update ? programmer_.updateApplication(portIndex, programFolder)
                            : programmer_.readApplication(portIndex, programFolder);
  ui_.setStatus(result == 0 ? texts.success : texts.failure);
  return result == 0;
}

bool UpdaterPresenter::runVersion(int portIndex) {
  ui_.setStatus("Fetching version. Please wait...");
  const std::string version = programmer_.queryVersion(portIndex);
  ui_.setStatus("QUILLmar Version " + version);
  return version != kNoVersion;
}

}  // namespace quillmar::boot
