// The texts tildeconv shows on the console. They are what the people preparing pages see and
// what their scripts may match, so they are kept exactly, odd spacing included.
#pragma once

#include <cstdint>
#include <string>

namespace quillmar::tildeconv {

// The two usage lines, naming the program as it was invoked.
std::string usageText(const std::string& programName);

// What --help shows: the command line, the output name, the console report and the exit status.
std::string helpText(const std::string& programName);

// What --version shows: the program's name and the tools' version, one line.
std::string versionText();

// Either file failed to open; `reason` is the system's description. No line end, as the unit's
// page tools have always shown it (the output's name already leads the line in that case).
std::string openFailureText(const std::string& reason);

// Reading the source failed part-way; one line naming the file and the system's reason.
std::string readFailureText(const std::string& sourceName, const std::string& reason);

// Writing the output failed part-way; one line naming the file and the system's reason.
std::string writeFailureText(const std::string& outputName, const std::string& reason);

// The closing report: the feedback message, then the regular message and a line end. Each is
// singular when its count is exactly 1.
std::string countReport(uint64_t feedbackCount, uint64_t regularCount);

}  // namespace quillmar::tildeconv
