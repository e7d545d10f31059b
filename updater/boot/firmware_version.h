// The firmware version as the unit's flash and an image file hold it, and how an image's version
// stands against the unit's. The version is the four characters after the marker "CVersion " in
// the first kVersionScanBytes bytes, each zero byte read as "x" (where the firmware's C string
// would have ended), as the Version button shows it. Versions that are both dot-separated
// numbers compare by those numbers (1.9 is older than 1.10); others are only the same or
// different, and a missing marker, as on a unit erased by a power cut, leaves the order unknown.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillmar::boot {

// The stretch from address 0 that holds the version marker.
inline constexpr int kVersionScanBytes = 8192;
// How a missing version is shown, on the unit as in an image.
inline constexpr const char* kNoVersion = "NONE";

// The version in the first kVersionScanBytes of `flash` (fewer when it is shorter): up to four
// characters after the marker, or nothing without the marker.
std::optional<std::string> versionIn(std::span<const uint8_t> flash);

// An image's version against the unit's.
enum class VersionOrder { Older, Same, Newer, Different, Unknown };

// Compares by dot-separated numbers where both versions are such (trailing blanks ignored,
// missing parts count as 0), else by their texts; Unknown when either is missing.
VersionOrder compareVersions(const std::optional<std::string>& unit,
                             const std::optional<std::string>& image);

// The word for an order: "older", "the same", "newer", "different", "unknown".
const char* orderWord(VersionOrder order);

// Both versions of an update, found before the erase.
struct VersionPair {
  std::optional<std::string> unit;
  std::optional<std::string> image;
  VersionOrder order() const { return compareVersions(unit, image); }
};

// "unit 1.12, image 1.10 (older)"; a missing version shows as kNoVersion.
std::string versionLine(const VersionPair& versions);

}  // namespace quillmar::boot
