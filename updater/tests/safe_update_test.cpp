// The steps before the erase against the simulated unit: the copy of what the unit ran, both
// versions, the gate with its question, the image the unit already holds, the dry run's reads,
// restore, and the records they leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "boot/boot_commands.h"
#include "boot/kept_copies.h"
#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

using boot::Operation;

// A region that holds `version` after its marker at byte 64 and a pattern over `size` bytes.
std::vector<uint8_t> firmware(const std::string& version, int size, int seed) {
  std::vector<uint8_t> bytes = patternImage(size, seed);
  const std::string marker = "CVersion " + version;
  std::copy(marker.begin(), marker.end(), bytes.begin() + 64);
  return bytes;
}

// The unit's flash when it runs `bytes`, erased beyond them.
std::vector<uint8_t> regionOf(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> region(boot::kAppRegionBytes, 0xFF);
  std::copy(bytes.begin(), bytes.end(), region.begin());
  return region;
}

// A simulated unit running `running`, an image file, and a data folder of its own.
class SafeUpdate {
 public:
  SafeUpdate(const std::vector<uint8_t>& running, const std::vector<uint8_t>& image,
             bootsim::Faults faults = {})
      : unit(std::move(faults)), before(regionOf(running)) {
    std::copy(before.begin(), before.end(), unit.flash().begin());
    writeImageFile(folder.path() / "quillmar.hex", image);
    EXPECT_EQ(unit.start(), "");
    safety.dataFolder = (folder.path() / "data").string();
    unit.programmer().setSafety(safety);
  }

  // Runs `operation` (on the folder's image, or `file` for a restore) and stops the unit.
  bool run(Operation operation = Operation::Update, std::string file = "") {
    unit.programmer().setSafety(safety);
    const boot::ImageFile image =
        file.empty() ? boot::imageFileIn(folder.str()) : boot::chosenImageFile(file);
    const bool ok =
        unit.presenter().run(operation, kUnitPort, image, boot::readbackFileIn(folder.str()));
    unit.stop();
    return ok;
  }
  std::vector<uint8_t> flash() {
    return {unit.flash().begin(), unit.flash().begin() + boot::kAppRegionBytes};
  }
  std::vector<boot::KeptCopy> copies() const {
    return boot::listKeptCopies(boot::backupsFolder(safety.dataFolder));
  }
  bool saw(const std::string& event) const {
    return std::find(unit.ui.events.begin(), unit.ui.events.end(), event) != unit.ui.events.end();
  }

  TempFolder folder;
  SimulatedUnit unit;
  std::vector<uint8_t> before;
  boot::UpdateSafety safety;
};

TEST(SafeUpdateTest, KeepsACopyEqualToTheUnitBeforeItErases) {
  SafeUpdate update(firmware("1.10", 20000, 1), firmware("1.12", 9000, 2));
  EXPECT_TRUE(update.run());
  EXPECT_TRUE(update.saw("status unit 1.10, image 1.12 (newer)"));
  EXPECT_EQ(update.flash(), regionOf(firmware("1.12", 9000, 2)));
  const std::vector<boot::KeptCopy> copies = update.copies();
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].version, "1.10");
  int size = 0;
  EXPECT_EQ(readImageFile(copies[0].path, size), update.before);
  const boot::OperationRecord& record = update.unit.presenter().lastRecord();
  EXPECT_EQ(record.versionBefore, "1.10");
  EXPECT_EQ(record.versionAfter, "1.12");
  EXPECT_EQ(record.backup, copies[0].path);
  EXPECT_EQ(record.bytesProgrammed, 9000);
  EXPECT_EQ(record.exitStatus, 0);
  EXPECT_EQ(record.imageSha256.size(), 64u);
  int skipped = 0;
  EXPECT_EQ(boot::readHistory(update.safety.dataFolder, skipped).size(), 1u);
}

TEST(SafeUpdateTest, TheGateAsksBeforeTheEraseAndANoChangesNothing) {
  struct Case {
    const char* name;
    std::string unitVersion;
    std::string imageVersion;
    bool answer;
    bool allowOlder;
    const char* question;  // "" when none is asked
    bool programmed;
    const char* status;
  };
  const Case cases[] = {
      {"older, no", "1.12", "1.10", false, false,
       "The unit has 1.12. The image is 1.10, older. Program the older version?", false,
       "NOT UPDATED: NOTHING CHANGED"},
      {"older, yes", "1.12", "1.10", true, false,
       "The unit has 1.12. The image is 1.10, older. Program the older version?", true,
       "QUILLmar Updated!"},
      {"older, allowed", "1.12", "1.10", false, true, "", true, "QUILLmar Updated!"},
      {"same version, no", "1.12", "1.12", false, false,
       "The unit has 1.12. The image is 1.12, the same. Program it again?", false,
       "NOT UPDATED: NOTHING CHANGED"},
      {"different", "1.2a", "1.3", false, false, "", true, "QUILLmar Updated!"},
  };
  for (const Case& c : cases) {
    SafeUpdate update(firmware(c.unitVersion, 4000, 1), firmware(c.imageVersion, 3000, 2));
    update.unit.ui.versionAnswer = c.answer;
    update.safety.allowOlder = c.allowOlder;
    EXPECT_EQ(update.run(), c.programmed) << c.name;
    const auto asked =
        std::find_if(update.unit.ui.events.begin(), update.unit.ui.events.end(),
                     [](const std::string& e) { return e.rfind("question ", 0) == 0; });
    EXPECT_EQ(asked == update.unit.ui.events.end() ? "" : asked->substr(9), c.question) << c.name;
    EXPECT_EQ(update.unit.ui.statuses.back(), c.status) << c.name;
    EXPECT_EQ(update.unit.loader().uses(boot::kChipErase), c.programmed ? 1u : 0u) << c.name;
    EXPECT_EQ(update.flash() == update.before, !c.programmed) << c.name;
    EXPECT_EQ(update.copies().size(), c.programmed ? 1u : 0u) << c.name;
    if (!c.programmed && c.unitVersion != c.imageVersion) {  // known from the region's start
      EXPECT_EQ(update.unit.loader().uses(boot::kBlockRead), 8192u / 256) << c.name;
    }
  }
}

TEST(SafeUpdateTest, AnImageTheUnitHoldsIsNotProgrammedAgainUnlessAsked) {
  for (const bool reinstall : {false, true}) {
    SafeUpdate update(firmware("1.12", 5000, 1), firmware("1.12", 5000, 1));
    update.safety.allowReinstall = reinstall;
    EXPECT_TRUE(update.run());
    EXPECT_EQ(update.unit.loader().uses(boot::kChipErase), reinstall ? 1u : 0u);
    EXPECT_EQ(update.unit.ui.statuses.back(),
              reinstall ? "QUILLmar Updated!" : "QUILLmar Already Holds This Image");
    EXPECT_EQ(update.unit.presenter().lastRecord().exitStatus, 0);
  }
}

TEST(SafeUpdateTest, ADryRunOnlyReadsAndSaysWhatWouldHappen) {
  struct Case {
    const char* name;
    std::string imageVersion;
    bool keepCopy;
    bool ok;
    const char* verdict;
    const char* end;
  };
  const Case cases[] = {
      {"newer", "1.14", true, true, "status The versions let the update go ahead.",
       "status Dry run: the update would go ahead"},
      {"older", "1.10", true, false,
       "status The image is older than the unit's firmware: the update would be refused unless "
       "allowed.",
       "status Dry run: the update would be refused"},
      {"no copy", "1.14", false, true, "status No copy of the unit would be kept.",
       "status Dry run: the update would go ahead"},
  };
  for (const Case& c : cases) {
    SafeUpdate update(firmware("1.12", 4000, 1), firmware(c.imageVersion, 3000, 2));
    update.unit.loader().keepTranscript();
    update.safety.dryRun = true;
    update.safety.keepCopy = c.keepCopy;
    EXPECT_EQ(update.run(), c.ok) << c.name;
    EXPECT_TRUE(update.saw(c.verdict)) << c.name;
    EXPECT_EQ(update.unit.ui.events.back(), c.end) << c.name;
    EXPECT_EQ(update.unit.presenter().lastRecord().exitStatus, c.ok ? 0 : 3) << c.name;
    for (const uint8_t changing : {boot::kEnterProgramming, boot::kChipErase, boot::kLoadLowByte,
                                   boot::kLoadHighByte, boot::kWritePage, boot::kBlockLoad})
      EXPECT_EQ(update.unit.loader().uses(changing), 0u) << c.name << " " << changing;
    EXPECT_EQ(update.flash(), update.before) << c.name;
    EXPECT_TRUE(update.copies().empty()) << c.name;
    int skipped = 0;
    EXPECT_TRUE(boot::readHistory(update.safety.dataFolder, skipped).empty()) << c.name;
  }
}

TEST(SafeUpdateTest, AUnitThatFallsSilentDuringTheCopyIsNotErasedAndNoCopyIsListed) {
  bootsim::Faults faults;
  faults.silentAfter = 500;
  SafeUpdate update(firmware("1.12", 60000, 1), firmware("1.14", 3000, 2), faults);
  EXPECT_FALSE(update.run());
  EXPECT_EQ(update.unit.loader().uses(boot::kChipErase), 0u);
  EXPECT_EQ(update.flash(), update.before);
  EXPECT_TRUE(update.copies().empty());
  ASSERT_FALSE(update.unit.ui.messages.empty());
  EXPECT_NE(update.unit.ui.messages.back().find("Nothing was erased."), std::string::npos);
  // The versions were read before the unit fell silent, and it still runs what it ran.
  EXPECT_EQ(update.unit.presenter().lastRecord().versionAfter, "1.12");
}

TEST(SafeUpdateTest, AFolderThatTakesNoCopyStopsTheUpdateBeforeThePortOpens) {
  SafeUpdate update(firmware("1.12", 4000, 1), firmware("1.14", 3000, 2));
  std::ofstream(update.safety.dataFolder) << "a file where the data folder should be\n";
  EXPECT_FALSE(update.run());
  EXPECT_EQ(update.unit.bytesReceived(), 0u);
  ASSERT_EQ(update.unit.ui.messages.size(), 1u);
  EXPECT_NE(update.unit.ui.messages[0].find(boot::backupsFolder(update.safety.dataFolder)),
            std::string::npos)
      << update.unit.ui.messages[0];
  EXPECT_EQ(update.flash(), update.before);
}

TEST(SafeUpdateTest, ACutAfterTheEraseIsMendedByRestoringTheKeptCopy) {
  const std::vector<uint8_t> running = firmware("1.12", 20000, 1);
  TempFolder keptFolder;
  const std::string kept = (keptFolder.path() / "2026-12-09_190501_ttyUSB0_1.12.hex").string();
  std::vector<uint8_t> broken;
  {
    bootsim::Faults faults;
    faults.silentAfter = 25000;  // in the middle of the write
    SafeUpdate update(running, firmware("1.10", 20000, 2), faults);
    update.safety.allowOlder = true;
    EXPECT_FALSE(update.run());
    ASSERT_EQ(update.copies().size(), 1u);
    const std::string path = update.copies()[0].path;
    EXPECT_NE(
        update.unit.ui.messages.back().find("restore the copy kept before the erase: " + path),
        std::string::npos)
        << update.unit.ui.messages.back();
    fs::copy_file(path, kept);
    broken = update.flash();
    EXPECT_NE(broken, update.before);
  }
  SafeUpdate restore(std::vector<uint8_t>(broken.begin(), broken.begin() + 20000), {});
  EXPECT_TRUE(restore.run(Operation::Restore, kept));
  EXPECT_EQ(restore.flash(), regionOf(running));
  EXPECT_EQ(restore.unit.ui.statuses.back(), "QUILLmar Restored!");
  EXPECT_EQ(restore.unit.presenter().lastRecord().operation, "restore");
  EXPECT_EQ(restore.unit.presenter().lastRecord().versionAfter, "1.12");
}

TEST(SafeUpdateTest, LegacySendsTheDialogueItAlwaysSent) {
  for (const bool block : {false, true}) {
    std::vector<std::vector<uint8_t>> transcripts;
    for (const bool legacy : {true, false}) {
      SafeUpdate update(firmware("1.12", 4000, 1), firmware("1.14", 3000, 2));
      update.unit.loader().keepTranscript();
      update.safety.legacy = legacy;
      update.unit.programmer().setBlockMode(block);
      EXPECT_TRUE(update.run());
      transcripts.push_back(update.unit.loader().transcript());
      EXPECT_EQ(update.copies().empty(), legacy);
    }
    // Legacy has nothing but the signature check (and the block question) before the erase's
    // escapes; the safe update has its question and reads in between, then the same bytes.
    const std::vector<uint8_t>& legacy = transcripts[0];
    const std::vector<uint8_t>& safe = transcripts[1];
    ASSERT_GT(safe.size(), legacy.size());
    const std::size_t preamble = block ? 7 : 6;  // ESC x4, S, a, (b); then ESC x4, P, e ...
    EXPECT_TRUE(std::equal(legacy.begin(), legacy.begin() + preamble, safe.begin()));
    EXPECT_TRUE(std::equal(legacy.begin() + preamble, legacy.end(),
                           safe.end() - (legacy.end() - (legacy.begin() + preamble))));
  }
}

}  // namespace
}  // namespace quillmar::testing
