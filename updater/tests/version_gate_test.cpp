// The facts the safe update decides by, without a unit: versions as flash holds them and how
// they compare, the gate's verdicts, the kept copies' names and listing, and the records.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "boot/kept_copies.h"
#include "boot/operation_record.h"
#include "boot/update_safety.h"
#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

using boot::GateVerdict;
using boot::VersionOrder;
using Version = std::optional<std::string>;

// `text` placed at byte `at` of an erased region.
std::vector<uint8_t> flashWith(const std::string& text, int at, int size = boot::kAppRegionBytes) {
  std::vector<uint8_t> flash(size, 0xFF);
  std::copy(text.begin(), text.end(), flash.begin() + at);
  return flash;
}

TEST(VersionTest, IsTheMarkersFourCharactersWithinTheFirst8192Bytes) {
  struct Case {
    const char* name;
    std::string text;
    int at;
    Version version;
  };
  const Case cases[] = {
      {"at the start", "CVersion 1.12", 0, "1.12"},
      {"whole at the scan's end", "CVersion 1.12", 8192 - 13, "1.12"},
      {"cut by the scan's end", "CVersion 1.12", 8192 - 11, "1."},
      {"past the scan", "CVersion 1.12", 8192 - 8, std::nullopt},
      {"a zero byte in the version",
       std::string("CVersion 1.\0"
                   "2",
                   13),
       100, "1.x2"},
      {"a zero byte in the marker", std::string("CVers\0on 1.12", 13), 100, std::nullopt},
      {"the first of two", "CVersion 2.01 CVersion 3.00", 40, "2.01"},
      {"no marker", "Version 1.12", 0, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(boot::versionIn(flashWith(c.text, c.at)), c.version) << c.name;
}

TEST(VersionTest, ImageVersionsCompareAsNumbersWhereBothAreNumbers) {
  struct Case {
    Version unit;
    Version image;
    VersionOrder order;
    const char* line;
  };
  const Case cases[] = {
      {"1.10", "1.9", VersionOrder::Older, "unit 1.10, image 1.9 (older)"},
      {"1.9", "1.10", VersionOrder::Newer, "unit 1.9, image 1.10 (newer)"},
      {"1.12", "1.12", VersionOrder::Same, "unit 1.12, image 1.12 (the same)"},
      {"1.12", "1.10", VersionOrder::Older, "unit 1.12, image 1.10 (older)"},
      {"2.0 ", "2", VersionOrder::Same, "unit 2.0 , image 2 (the same)"},
      {"1.2a", "1.3", VersionOrder::Different, "unit 1.2a, image 1.3 (different)"},
      {"beta", "beta", VersionOrder::Same, "unit beta, image beta (the same)"},
      {"1..2", "1.2", VersionOrder::Different, "unit 1..2, image 1.2 (different)"},
      {"1.x2", "1.12", VersionOrder::Different, "unit 1.x2, image 1.12 (different)"},
      {std::nullopt, "1.10", VersionOrder::Unknown, "unit NONE, image 1.10 (unknown)"},
      {"1.10", std::nullopt, VersionOrder::Unknown, "unit 1.10, image NONE (unknown)"},
  };
  for (const Case& c : cases) {
    const boot::VersionPair pair{c.unit, c.image};
    EXPECT_EQ(pair.order(), c.order) << c.line;
    EXPECT_EQ(boot::versionLine(pair), c.line);
  }
}

TEST(GateTest, AnOlderImageOrTheSameVersionNeedsAYesAndARestoreNone) {
  struct Case {
    Version unit;
    Version image;
    bool identical;
    bool allowOlder;
    bool allowReinstall;
    bool restoring;
    GateVerdict verdict;
  };
  const Case cases[] = {
      {"1.12", "1.10", false, false, false, false, GateVerdict::NeedsOlderYes},
      {"1.12", "1.10", false, true, false, false, GateVerdict::Proceed},
      {"1.12", "1.12", false, false, false, false, GateVerdict::NeedsReinstallYes},
      {"1.12", "1.12", false, true, false, false, GateVerdict::NeedsReinstallYes},
      {"1.12", "1.12", false, false, true, false, GateVerdict::Proceed},
      {"1.12", "1.12", true, false, false, false, GateVerdict::AlreadyHeld},
      {"1.12", "1.12", true, false, true, false, GateVerdict::Proceed},
      {"1.9", "1.10", false, false, false, false, GateVerdict::Proceed},
      {"1.2a", "1.3", false, false, false, false, GateVerdict::Proceed},
      {std::nullopt, "1.10", false, false, false, false, GateVerdict::Proceed},
      {"1.12", "1.10", false, false, false, true, GateVerdict::Proceed},
      {"1.12", "1.12", false, false, false, true, GateVerdict::Proceed},
      {"1.12", "1.12", true, false, false, true, GateVerdict::AlreadyHeld},
  };
  for (const Case& c : cases) {
    boot::UpdateSafety safety;
    safety.allowOlder = c.allowOlder;
    safety.allowReinstall = c.allowReinstall;
    const boot::VersionPair pair{c.unit, c.image};
    EXPECT_EQ(boot::gateVerdict(pair, c.identical, safety, c.restoring), c.verdict)
        << boot::versionLine(pair) << " identical " << c.identical << " older " << c.allowOlder
        << " reinstall " << c.allowReinstall << " restoring " << c.restoring;
  }
  EXPECT_EQ(boot::gateQuestion({"1.12", "1.10"}, GateVerdict::NeedsOlderYes),
            "The unit has 1.12. The image is 1.10, older. Program the older version?");
  EXPECT_EQ(boot::gateQuestion({"1.12", "1.12"}, GateVerdict::NeedsReinstallYes),
            "The unit has 1.12. The image is 1.12, the same. Program it again?");
}

TEST(KeptCopyTest, NamesCarryTimePortAndVersionInCharactersEveryFolderTakes) {
  std::tm when{};
  when.tm_year = 126;
  when.tm_mon = 11;
  when.tm_mday = 9;
  when.tm_hour = 19;
  when.tm_min = 5;
  when.tm_sec = 1;
  EXPECT_EQ(boot::keptCopyName(when, "/dev/ttyUSB0", "1.12"), "2026-12-09_190501_ttyUSB0_1.12.hex");
  EXPECT_EQ(boot::keptCopyName(when, R"(\\.\COM5)", "1.12"), "2026-12-09_190501_COM5_1.12.hex");
  EXPECT_EQ(boot::keptCopyName(when, "/dev/pts/3", std::nullopt), "2026-12-09_190501_3_NONE.hex");
  EXPECT_EQ(boot::keptCopyName(when, "COM1", "1/2_"), "2026-12-09_190501_COM1_1-2-.hex");
}

TEST(KeptCopyTest, ListsCopiesNewestFirstAndLeavesOtherFilesOut) {
  TempFolder folder;
  const std::vector<uint8_t> flash = flashWith("CVersion 1.12", 0);
  struct Saved {
    const char* name;
    bool isCopy;
  };
  const Saved saved[] = {
      {"2026-12-09_190501_ttyUSB0_1.12.hex", true},
      {"2026-12-10_080000_COM5_1.10.hex", true},
      {"2026-12-09_190501-2_ttyUSB0_1.12.hex", true},
      {"quillread.hex", false},
      {"2026-12-09_190501_ttyUSB0_1.12.hex.replacing-1.tmp", false},
  };
  for (const Saved& s : saved)
    writeImageFile(folder.path() / s.name,
                   std::vector<uint8_t>(flash.begin(), flash.begin() + 512));
  std::ofstream(folder.path() / "2026-12-11_080000_COM5_1.10.hex") << "not an image\n";
  const std::vector<boot::KeptCopy> copies = boot::listKeptCopies(folder.str());
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[0].when, "2026-12-10 08:00:00");
  EXPECT_EQ(copies[0].port, "COM5");
  EXPECT_EQ(copies[0].version, "1.10");
  EXPECT_EQ(copies[0].bytes, 512);
  EXPECT_EQ(fs::path(copies[1].path).filename(), "2026-12-09_190501-2_ttyUSB0_1.12.hex");
  EXPECT_EQ(fs::path(copies[2].path).filename(), "2026-12-09_190501_ttyUSB0_1.12.hex");
  EXPECT_EQ(boot::keptCopiesTable({}, "/x/backups"), "No kept copies in /x/backups.\n");
}

TEST(KeptCopyTest, IsSavedTrimmedReadBackAndNeverOverwritesAnother) {
  TempFolder data;
  const std::string folder = (data.path() / "backups").string();
  std::vector<uint8_t> flash = flashWith("CVersion 1.12", 0);
  flash[1000] = 0x00;
  std::ostringstream diag;
  const boot::KeepOutcome first =
      boot::keepCopy(folder, "2026-12-09_190501_COM5_1.12.hex", flash, diag);
  ASSERT_EQ(first.error, "");
  const boot::KeepOutcome second =
      boot::keepCopy(folder, "2026-12-09_190501_COM5_1.12.hex", flash, diag);
  ASSERT_EQ(second.error, "");
  EXPECT_NE(first.path, second.path);
  int size = 0;
  EXPECT_EQ(readImageFile(first.path, size), flash);
  EXPECT_EQ(size, 1024);  // to the end of the last page that holds data
  const boot::KeepOutcome blank =
      boot::keepCopy(folder, "2026-12-09_190502_COM5_NONE.hex",
                     std::vector<uint8_t>(boot::kAppRegionBytes, 0xFF), diag);
  EXPECT_EQ(blank.path, "");
  EXPECT_EQ(blank.error, "");
  EXPECT_EQ(boot::listKeptCopies(folder).size(), 2u);
}

// A folder that can't be made stands for every folder that takes no file: as root, read-only
// permissions would not hold.
TEST(KeptCopyTest, AFolderThatTakesNoFileIsNamedAndLeftWithoutAFile) {
  TempFolder data;
  std::ofstream(data.path() / "quillmar") << "a file where the data folder should be\n";
  const std::string folder = (data.path() / "quillmar" / "backups").string();
  std::ostringstream diag;
  const boot::KeepOutcome kept =
      boot::keepCopy(folder, "a.hex", flashWith("CVersion 1.12", 0), diag);
  EXPECT_EQ(kept.path, "");
  EXPECT_NE(kept.error.find(folder), std::string::npos) << kept.error;
  EXPECT_EQ(std::distance(fs::directory_iterator(data.path()), fs::directory_iterator()), 1);
}

TEST(KeptCopyTest, RestoreRefusesWhatIsNoCopy) {
  TempFolder folder;
  std::ofstream(folder.path() / "notes.hex") << "shopping list\n";
  const auto missing =
      boot::restoreRefusal(boot::chosenImageFile((folder.path() / "gone.hex").string()));
  ASSERT_TRUE(missing);
  EXPECT_EQ(*missing, "There is no kept copy \"" + (folder.path() / "gone.hex").string() + "\".");
  const auto text =
      boot::restoreRefusal(boot::chosenImageFile((folder.path() / "notes.hex").string()));
  ASSERT_TRUE(text);
  EXPECT_EQ(text->rfind("Not a kept copy: ", 0), 0u) << *text;
}

boot::OperationRecord sampleRecord(int n) {
  boot::OperationRecord record;
  record.time = "2026-12-09T19:05:01+01:00";
  record.operation = "update";
  record.port = "/dev/ttyUSB" + std::to_string(n);
  record.usbSerial = "A50285BI";
  record.versionBefore = "1.12";
  record.versionAfter = std::nullopt;
  record.image = "/home/tech/quillmar \"new\".hex";
  record.imageSha256 = std::string(64, 'a');
  record.backup = "/home/tech/.local/share/quillmar/backups/x.hex";
  record.bytesProgrammed = 40960;
  record.exitStatus = 1;
  record.failure = "error -1 writing device, terminating\nThe unit's application is now erased";
  record.durationSeconds = 12.5;
  return record;
}

TEST(RecordTest, HistoryKeepsEveryFieldAndSkipsLinesThatAreNoRecords) {
  TempFolder data;
  const std::string folder = (data.path() / "quillmar").string();
  ASSERT_FALSE(boot::appendHistory(folder, sampleRecord(0)));
  {
    std::ofstream out(boot::historyPath(folder), std::ios::app);
    out << "{\"time\": \"cut sh\n[1,2]\n{\"time\": 5, \"operation\": \"read\"}\n";
  }
  ASSERT_FALSE(boot::appendHistory(folder, sampleRecord(1)));
  int skipped = 0;
  const std::vector<boot::OperationRecord> records = boot::readHistory(folder, skipped);
  EXPECT_EQ(skipped, 3);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(boot::recordJson(records[0]), boot::recordJson(sampleRecord(0)));
  EXPECT_EQ(records[1].port, "/dev/ttyUSB1");
  EXPECT_FALSE(records[1].versionAfter);
  EXPECT_NE(boot::recordJson(records[0]).find("\"versionAfter\":null"), std::string::npos);
  const std::string table = boot::historyTable(records);
  EXPECT_NE(table.find("2026-12-09 19:05:01  update    /dev/ttyUSB0 (A50285BI)  1.12 -> NONE"),
            std::string::npos)
      << table;
  EXPECT_NE(table.find("failed: error -1 writing device, terminating\n"), std::string::npos);
}

TEST(RecordTest, TwoWritersAtOnceLoseAndMixNoRecord) {
  TempFolder data;
  const std::string folder = data.str();
  constexpr int kEach = 300;
  auto writer = [&](int first) {
    for (int i = 0; i < kEach; ++i)
      boot::appendHistory(folder, sampleRecord(first + i));
  };
  std::thread a(writer, 0);
  std::thread b(writer, kEach);
  a.join();
  b.join();
  int skipped = 0;
  EXPECT_EQ(boot::readHistory(folder, skipped).size(), 2u * kEach);
  EXPECT_EQ(skipped, 0);
}

TEST(RecordTest, TimesCarryTheirOffsetAndExitStatusesFollowTheResult) {
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  struct Case {
    const char* zone;
    std::time_t when;
    const char* time;
  };
  const Case cases[] = {
      {"UTC0", 0, "1970-01-01T00:00:00+00:00"},
      {"CET-1", 1765307101, "2025-12-09T20:05:01+01:00"},
      {"IST-5:30", 1765307101, "2025-12-10T00:35:01+05:30"},
      {"EST5", 1765307101, "2025-12-09T14:05:01-05:00"},
  };
  for (const Case& c : cases) {
    ::setenv("TZ", c.zone, 1);
    ::tzset();
    EXPECT_EQ(boot::isoLocalTime(c.when), c.time) << c.zone;
  }
  if (zone)
    ::setenv("TZ", saved.c_str(), 1);
  else
    ::unsetenv("TZ");
  ::tzset();
  EXPECT_EQ(boot::exitStatusOf(0), boot::kExitSuccess);
  EXPECT_EQ(boot::exitStatusOf(boot::kAlreadyHeld), boot::kExitSuccess);
  EXPECT_EQ(boot::exitStatusOf(boot::kVersionRefused), boot::kExitRefused);
  EXPECT_EQ(boot::exitStatusOf(boot::kPortOpenFailed), boot::kExitFailure);
  EXPECT_EQ(boot::exitStatusOf(-2), boot::kExitFailure);
}

}  // namespace
}  // namespace quillmar::testing
