#include "console_text.h"

namespace quillmar::tildeconv {

std::string usageText(const std::string& programName) {
  return "usage: " + programName + " <sourcefile>.htm\n" + "   or: " + programName +
         " <sourcefile>.html\n";
}

std::string openFailureText(const std::string& reason) {
  return "Couldn't open source file: " + reason;
}

std::string readFailureText(const std::string& sourceName, const std::string& reason) {
  return "Couldn't read source file " + sourceName + ": " + reason + "\n";
}

std::string writeFailureText(const std::string& outputName, const std::string& reason) {
  return "Couldn't write output file " + outputName + ": " + reason + "\n";
}

std::string countReport(uint64_t feedbackCount, uint64_t regularCount) {
  const std::string feedback = std::to_string(feedbackCount);
  const std::string regular = std::to_string(regularCount);
  return "Replaced " + feedback +
         (feedbackCount == 1 ? " feedback tilde.  " : " feedback tilde's.") + "  Duplicated " +
         regular + (regularCount == 1 ? " regular tilde.\n" : " regular tilde's.\n");
}

}  // namespace quillmar::tildeconv
