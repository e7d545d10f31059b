#include "boot/operation_record.h"

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>

#include "boot/boot_programmer.h"
#include "image/diag_print.h"
#include "platform/appended_line.h"
#include "platform/file_name.h"
#include "platform/local_time.h"

namespace quillmar::boot {
namespace {

// Ordered, so that a record reads in the order of its fields: when, what, where, then the rest.
using json = nlohmann::ordered_json;

// A version as JSON: its text, or null where there is none.
json versionJson(const std::optional<std::string>& version) {
  return version ? json(*version) : json(nullptr);
}

std::optional<std::string> versionFrom(const json& object, const char* key) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_string())
    return std::nullopt;
  return found->get<std::string>();
}

json toJson(const OperationRecord& record) {
  return {
      {"time", record.time},
      {"operation", record.operation},
      {"port", record.port},
      {"usbSerial", record.usbSerial},
      {"versionBefore", versionJson(record.versionBefore)},
      {"versionAfter", versionJson(record.versionAfter)},
      {"image", record.image},
      {"imageSha256", record.imageSha256},
      {"backup", record.backup},
      {"bytesProgrammed", record.bytesProgrammed},
      {"exitStatus", record.exitStatus},
      {"failure", record.failure},
      {"durationSeconds", record.durationSeconds},
      {"dryRun", record.dryRun},
  };
}

// A history line's record; nothing for a line that is not one (cut short, edited by hand).
std::optional<OperationRecord> fromJson(const std::string& line) {
  const json object = json::parse(line, nullptr, false);
  if (!object.is_object() || !object.contains("time") || !object["time"].is_string() ||
      !object.contains("operation") || !object["operation"].is_string())
    return std::nullopt;
  OperationRecord record;
  try {
    record.time = object["time"];
    record.operation = object["operation"];
    record.port = object.value("port", "");
    record.usbSerial = object.value("usbSerial", "");
    record.versionBefore = versionFrom(object, "versionBefore");
    record.versionAfter = versionFrom(object, "versionAfter");
    record.image = object.value("image", "");
    record.imageSha256 = object.value("imageSha256", "");
    record.backup = object.value("backup", "");
    record.bytesProgrammed = object.value("bytesProgrammed", 0L);
    record.exitStatus = object.value("exitStatus", kExitFailure);
    record.failure = object.value("failure", "");
    record.durationSeconds = object.value("durationSeconds", 0.0);
    record.dryRun = object.value("dryRun", false);
  } catch (const json::exception&) {
    return std::nullopt;  // a field of the wrong type
  }
  return record;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long daysFromCivil(long long year, unsigned month, unsigned day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

// What a record's result says in the history's table.
std::string resultText(const OperationRecord& record) {
  switch (record.exitStatus) {
    case kExitSuccess:
      return record.dryRun ? "dry run" : "ok";
    case kExitRefused:
      return "refused";
    default:
      break;
  }
  const std::string firstLine = record.failure.substr(0, record.failure.find('\n'));
  return firstLine.empty() ? "failed" : "failed: " + firstLine;
}

}  // namespace

int exitStatusOf(int result) {
  if (result == 0 || result == kAlreadyHeld)
    return kExitSuccess;
  return result == kVersionRefused ? kExitRefused : kExitFailure;
}

std::string isoLocalTime(std::time_t when) {
  const std::tm local = platform::localTime(when);
  const long long localSeconds =
      daysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                    static_cast<unsigned>(local.tm_mday)) *
          86400 +
      local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
  const long long offsetMinutes = (localSeconds - static_cast<long long>(when)) / 60;
  const long long shown = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  return image::formatText("%04d-%02d-%02dT%02d:%02d:%02d%c%02lld:%02lld", local.tm_year + 1900,
                           local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                           local.tm_sec, offsetMinutes < 0 ? '-' : '+', shown / 60, shown % 60);
}

std::string recordJson(const OperationRecord& record) {
  return toJson(record).dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string recordsJson(const std::vector<OperationRecord>& records) {
  json array = json::array();
  for (const OperationRecord& record : records)
    array.push_back(toJson(record));
  return array.dump(2, ' ', false, json::error_handler_t::replace);
}

std::string historyPath(const std::string& dataFolder) {
  return platform::nameFromPath(platform::pathFromName(dataFolder) / kHistoryFileName);
}

std::optional<std::string> appendHistory(const std::string& dataFolder,
                                         const OperationRecord& record) {
  const std::string path = historyPath(dataFolder);
  std::error_code error;
  std::filesystem::create_directories(platform::pathFromName(dataFolder), error);
  if (error)
    return "the history " + path + " cannot be written: " + error.message();
  if (const std::optional<std::string> failure = platform::appendLine(path, recordJson(record)))
    return "the history " + path + " cannot be written: " + *failure;
  return std::nullopt;
}

std::vector<OperationRecord> readHistory(const std::string& dataFolder, int& skipped) {
  skipped = 0;
  std::vector<OperationRecord> records;
  std::ifstream in(platform::pathFromName(historyPath(dataFolder)), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.empty())
      continue;
    if (std::optional<OperationRecord> record = fromJson(line))
      records.push_back(std::move(*record));
    else
      ++skipped;
  }
  return records;
}

std::string historyTable(const std::vector<OperationRecord>& records) {
  if (records.empty())
    return "No operations in the history yet.\n";
  std::string table = image::formatText("%-19s  %-8s  %-14s  %-14s  %7s  %s\n", "when", "command",
                                        "port", "versions", "took", "result");
  for (const OperationRecord& record : records) {
    std::string when = record.time.substr(0, 19);
    if (when.size() > 10 && when[10] == 'T')
      when[10] = ' ';
    const std::string versions = record.versionBefore.value_or(kNoVersion) + " -> " +
                                 record.versionAfter.value_or(kNoVersion);
    std::string port = record.port;
    if (!record.usbSerial.empty())
      port += " (" + record.usbSerial + ")";
    table += image::formatText("%-19s  %-8s  %-14s  %-14s  %5.0f s  %s\n", when.c_str(),
                               record.operation.c_str(), port.c_str(), versions.c_str(),
                               record.durationSeconds, resultText(record).c_str());
  }
  return table;
}

}  // namespace quillmar::boot
