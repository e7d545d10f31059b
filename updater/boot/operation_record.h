// OperationRecord: what one operation did, for scripts (the command line's --json) and for the
// history: every update, restore and read appends its record as one JSON line to history.jsonl
// in the user's data folder, whole even when two updaters write at once. The exit statuses are
// here too, the one table the command line and the records share.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace quillmar::boot {

inline constexpr int kExitSuccess = 0;  // success, or the unit already held the image
inline constexpr int kExitFailure = 1;  // the operation failed
inline constexpr int kExitUsage = 2;    // the command line is wrong
inline constexpr int kExitRefused = 3;  // refused by the version gate; nothing changed

// The exit status for a whole operation's result (BootProgrammer's codes).
int exitStatusOf(int result);

struct OperationRecord {
  std::string time;       // local start time, ISO 8601 with the offset: 2026-12-09T19:53:01+01:00
  std::string operation;  // "update", "restore", "read", "verify", "version"
  std::string port;       // the device opened
  std::string usbSerial;  // the USB adapter's serial number; "" where none
  std::optional<std::string> versionBefore;
  std::optional<std::string> versionAfter;
  std::string image;        // the image programmed or compared, or the file read into
  std::string imageSha256;  // of that file's bytes; "" when it could not be read
  std::string backup;       // the copy kept before the erase; "" for none
  long bytesProgrammed = 0;
  int exitStatus = 0;
  std::string failure;  // the last failure message; "" on success
  double durationSeconds = 0;
  bool dryRun = false;
};

inline constexpr const char* kHistoryFileName = "history.jsonl";

// The record as one line of JSON (no line end).
std::string recordJson(const OperationRecord& record);
// `when` on the local clock as a record's time: 2026-12-09T19:53:01+01:00.
std::string isoLocalTime(std::time_t when);

// The history file in `dataFolder`.
std::string historyPath(const std::string& dataFolder);

// The records as one JSON array.
std::string recordsJson(const std::vector<OperationRecord>& records);

// Appends `record` to the history in `dataFolder` (created when missing). The error, naming the
// file, when it can't.
std::optional<std::string> appendHistory(const std::string& dataFolder,
                                         const OperationRecord& record);

// The history in `dataFolder`, oldest first. Lines that are not records are skipped and counted
// in `skipped`.
std::vector<OperationRecord> readHistory(const std::string& dataFolder, int& skipped);

// The `history` command's table: time, operation, port, versions before -> after, result.
std::string historyTable(const std::vector<OperationRecord>& records);

}  // namespace quillmar::boot
