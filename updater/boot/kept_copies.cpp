#include "boot/kept_copies.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <system_error>
#include <tuple>

#include "boot/boot_programmer.h"
#include "image/diag_print.h"
#include "image/fileio.h"
#include "platform/error_text.h"
#include "platform/file_name.h"
#include "platform/replace_file.h"

namespace quillmar::boot {
namespace {

namespace fs = std::filesystem;
using image::formatText;

constexpr const char* kBackupsFolderName = "backups";

// A name part made of what every file system takes: letters, digits, "." and "-".
std::string namePart(const std::string& text) {
  std::string part = text;
  std::replace_if(
      part.begin(), part.end(),
      [](char c) {
        return !((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '.' || c == '-');
      },
      '-');
  return part.empty() ? "-" : part;
}

// Date, time with an optional sequence number, port, version.
const std::regex kCopyName(
    R"(^(\d{4}-\d\d-\d\d)_(\d\d)(\d\d)(\d\d)(?:-(\d+))?_([A-Za-z0-9.-]+)_([A-Za-z0-9.-]+)\.hex$)");

// A kept copy's image loaded into a region-sized buffer: its size, or -1.
int loadCopy(const std::string& path, std::vector<uint8_t>& region, std::ostream& diag) {
  region.assign(kAppRegionBytes, 0xFF);
  image::LoadDetails details;
  const int size = image::fileio(image::Input, path, image::IntelHex, region.data(),
                                 kAppRegionBytes, diag, &details);
  return size >= 0 && details.endRecord ? size : -1;
}

// Where the copy ends: after the last page that holds anything but 0xFF.
int keptSize(std::span<const uint8_t> flash) {
  const auto last = std::find_if(flash.rbegin(), flash.rend(), [](uint8_t b) { return b != 0xFF; });
  const auto used = static_cast<int>(flash.rend() - last);
  return (used + kPageBytes - 1) / kPageBytes * kPageBytes;
}

// `name` in `folder`, or with "-2", "-3", ... after its time when a copy of that name exists.
fs::path freePath(const fs::path& folder, const std::string& name) {
  fs::path path = folder / platform::pathFromName(name);
  const std::size_t timeEnd = name.find('_', name.find('_') + 1);
  for (int sequence = 2; fs::exists(path); ++sequence) {
    path = folder / platform::pathFromName(name.substr(0, timeEnd) + "-" +
                                           std::to_string(sequence) + name.substr(timeEnd));
  }
  return path;
}

}  // namespace

std::string backupsFolder(const std::string& dataFolder) {
  return platform::nameFromPath(platform::pathFromName(dataFolder) / kBackupsFolderName);
}

std::string portNamePart(const std::string& device) {
  const std::string devices = "/dev/";
  if (device.rfind(devices, 0) == 0)
    return namePart(device.substr(devices.size()));
  const std::size_t slash = device.find_last_of("/\\");
  return namePart(slash == std::string::npos ? device : device.substr(slash + 1));
}

std::string keptCopyName(const std::tm& when, const std::string& device,
                         const std::optional<std::string>& version) {
  char stamp[80];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d%02d%02d", when.tm_year + 1900,
                when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
  return std::string(stamp) + "_" + portNamePart(device) + "_" +
         namePart(version.value_or(kNoVersion)) + ".hex";
}

std::vector<KeptCopy> listKeptCopies(const std::string& folder) {
  struct Found {
    KeptCopy copy;
    int sequence;
  };
  std::vector<Found> found;
  std::error_code error;
  std::ostringstream ignored;
  std::vector<uint8_t> region;
  for (const auto& entry : fs::directory_iterator(platform::pathFromName(folder), error)) {
    const std::string name = platform::nameFromPath(entry.path().filename());
    std::smatch part;
    if (!entry.is_regular_file(error) || !std::regex_match(name, part, kCopyName))
      continue;
    KeptCopy copy;
    copy.path = platform::nameFromPath(entry.path());
    copy.when = part[1].str() + " " + part[2].str() + ":" + part[3].str() + ":" + part[4].str();
    copy.port = part[6];
    copy.version = part[7];
    copy.bytes = loadCopy(copy.path, region, ignored);
    if (copy.bytes > 0)
      found.push_back({copy, part[5].matched ? std::stoi(part[5].str()) : 1});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::tie(a.copy.when, a.sequence, a.copy.path) >
           std::tie(b.copy.when, b.sequence, b.copy.path);
  });
  std::vector<KeptCopy> copies;
  for (Found& f : found)
    copies.push_back(std::move(f.copy));
  return copies;
}

std::string keptCopiesTable(const std::vector<KeptCopy>& copies, const std::string& folder) {
  if (copies.empty())
    return "No kept copies in " + folder + ".\n";
  std::string table =
      formatText("%-19s  %-12s  %-7s  %6s  %s\n", "kept", "port", "version", "bytes", "file");
  for (const KeptCopy& copy : copies) {
    table += formatText(
        "%-19s  %-12s  %-7s  %6d  %s\n", copy.when.c_str(), copy.port.c_str(), copy.version.c_str(),
        copy.bytes, platform::nameFromPath(platform::pathFromName(copy.path).filename()).c_str());
  }
  return table + "in " + folder + "\n";
}

std::optional<std::string> backupsBlocker(const std::string& folder) {
  if (platform::pathFromName(folder).is_relative())
    return "No copy of the unit can be kept in \"" + folder + "\": the folder is not known.";
  std::error_code error;
  fs::create_directories(platform::pathFromName(folder), error);
  if (error) {
    return "No copy of the unit can be kept in " + folder + ": " +
           platform::withoutFullStop(error.message()) + ".";
  }
  const std::string probe =
      platform::nameFromPath(platform::pathFromName(folder) / "kept-copy-probe.hex");
  if (const std::optional<std::string> blocker = platform::replaceBlocker(probe)) {
    return "No copy of the unit can be kept in " + folder + ": " +
           platform::withoutFullStop(*blocker) + ".";
  }
  return std::nullopt;
}

KeepOutcome keepCopy(const std::string& folder, const std::string& name,
                     std::span<const uint8_t> flash, std::ostream& diag) {
  const int size = keptSize(flash);
  if (size == 0)
    return {};
  if (const std::optional<std::string> blocker = backupsBlocker(folder))
    return {"", *blocker};
  const std::string path = platform::nameFromPath(freePath(platform::pathFromName(folder), name));
  std::vector<uint8_t> bytes(flash.begin(), flash.end());
  std::ostringstream diagnostics;
  if (image::fileio(image::Output, path, image::IntelHex, bytes.data(), size, diagnostics) < 0) {
    diag << diagnostics.str();
    return {"", "No copy of the unit could be kept in " + folder + ": " +
                    platform::withoutFullStop(
                        diagnostics.str().substr(0, diagnostics.str().find_last_not_of('\n') + 1)) +
                    "."};
  }
  std::vector<uint8_t> reread;
  if (loadCopy(path, reread, diagnostics) < 0 ||
      !std::equal(flash.begin(), flash.end(), reread.begin())) {
    diag << diagnostics.str();
    std::error_code ignored;
    fs::remove(platform::pathFromName(path), ignored);
    return {"", "The copy of the unit saved in " + folder +
                    " did not read back equal from the disk, so it was removed."};
  }
  return {path, ""};
}

std::optional<std::string> restoreRefusal(const ImageFile& file) {
  std::error_code error;
  if (!fs::is_regular_file(platform::pathFromName(file.path), error))
    return "There is no kept copy \"" + file.path + "\".";
  if (const std::optional<std::string> refusal = imageRefusal(file))
    return "Not a kept copy: " + *refusal;
  return std::nullopt;
}

}  // namespace quillmar::boot
