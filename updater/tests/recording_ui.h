// RecordingUi: an OperationUi that keeps every call as a line of text, for the tests to
// compare with the sequence a user would see.
#pragma once

#include <string>
#include <vector>

#include "boot/operation_ui.h"

namespace quillmar::testing {

class RecordingUi : public boot::OperationUi {
 public:
  void showMessage(const std::string& text) override {
    messages.push_back(text);
    events.push_back("message " + text);
  }
  void setProgressRange(int steps) override { events.push_back("range " + std::to_string(steps)); }
  void setProgressPosition(int step) override { lastPosition = step; }
  void setStatus(const std::string& text) override {
    statuses.push_back(text);
    events.push_back("status " + text);
  }
  // Records the version gate's question and gives `versionAnswer`.
  bool confirmVersion(const boot::VersionPair& versions, boot::GateVerdict verdict) override {
    events.push_back("question " + boot::gateQuestion(versions, verdict));
    return versionAnswer;
  }

  std::vector<std::string> messages;
  std::vector<std::string> statuses;
  std::vector<std::string> events;  // messages, ranges and statuses in call order
  int lastPosition = -1;
  bool versionAnswer = false;
};

}  // namespace quillmar::testing
