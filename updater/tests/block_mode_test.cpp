// Block mode end to end: against the simulated unit over a real pseudo-terminal, block
// transfers must leave the same flash, files, texts and progress as the byte-by-byte dialogue,
// and a boot loader without them must get exactly that dialogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

using Lines = std::vector<std::string>;
using boot::kAppRegionBytes;
using boot::Operation;

// What one operation left behind: on the unit, in the folder and on the screen.
struct Outcome {
  bool succeeded = false;
  std::vector<uint8_t> flash;
  std::vector<uint8_t> readFile;
  int readFileSize = -1;
  Lines statuses;
  Lines events;
  int lastPosition = -1;
  std::vector<uint8_t> transcript;  // every byte the unit received
  int blockBytes = 0;
  uint32_t blockLoads = 0;
};

// A flash image that is neither erased nor regular, with a version marker near its start.
std::vector<uint8_t> oldFlash() {
  std::vector<uint8_t> flash = patternImage(static_cast<int>(bootsim::kFlashBytes), 9);
  const std::string marker = "CVersion 7.01";
  std::copy(marker.begin(), marker.end(), flash.begin() + 1001);
  return flash;
}

// `size` bytes of pattern with pages 1 and 3 (when present) all 0xFF.
std::vector<uint8_t> imageWithBlankPages(int size) {
  std::vector<uint8_t> image = patternImage(size, 3);
  for (int page : {1, 3}) {
    const int first = std::min(page * boot::kPageBytes, size);
    const int last = std::min(first + boot::kPageBytes, size);
    std::fill(image.begin() + first, image.begin() + last, 0xFF);
  }
  return image;
}

// Runs `operation` on a unit holding oldFlash(), with `image` as quillmar.hex.
Outcome run(Operation operation, bool block, const std::vector<uint8_t>& image,
            bootsim::Faults faults = {}) {
  TempFolder folder;
  writeImageFile(folder.path() / "quillmar.hex", image);
  SimulatedUnit unit(std::move(faults));
  const std::vector<uint8_t> old = oldFlash();
  std::copy(old.begin(), old.end(), unit.flash().begin());
  unit.loader().keepTranscript();
  Outcome outcome;
  if (unit.start() != "")
    return outcome;
  unit.programmer().setBlockMode(block);
  outcome.succeeded = unit.presenter().run(operation, kUnitPort, folder.str());
  unit.stop();
  outcome.flash.assign(unit.flash().begin(), unit.flash().end());
  outcome.statuses = unit.ui.statuses;
  outcome.events = unit.ui.events;
  outcome.lastPosition = unit.ui.lastPosition;
  outcome.transcript = unit.loader().transcript();
  outcome.blockBytes = unit.programmer().blockBytes();
  outcome.blockLoads = unit.loader().uses('B');
  if (operation == Operation::Read)
    outcome.readFile = readImageFile(folder.path() / "quillread.hex", outcome.readFileSize);
  return outcome;
}

struct Shape {
  const char* name;
  Operation operation;
  int imageSize;
};

const Shape kShapes[] = {
    {"update, a full and a partial page", Operation::Update, 300},
    {"update, odd size", Operation::Update, 5},
    {"update, blank pages inside", Operation::Update, 5 * 256 + 17},
    {"update, the whole region", Operation::Update, kAppRegionBytes},
    {"read", Operation::Read, 300},
    {"version", Operation::Version, 300},
};

TEST(BlockModeTest, LeavesTheSameFlashFilesAndTextsAsTheByteDialogue) {
  for (const Shape& shape : kShapes) {
    SCOPED_TRACE(shape.name);
    const std::vector<uint8_t> image = imageWithBlankPages(shape.imageSize);
    const Outcome bytes = run(shape.operation, false, image);
    const Outcome blocks = run(shape.operation, true, image);
    EXPECT_TRUE(bytes.succeeded);
    EXPECT_EQ(blocks.succeeded, bytes.succeeded);
    EXPECT_TRUE(blocks.flash == bytes.flash);
    EXPECT_EQ(blocks.readFileSize, bytes.readFileSize);
    EXPECT_TRUE(blocks.readFile == bytes.readFile);
    EXPECT_EQ(blocks.statuses, bytes.statuses);
    EXPECT_EQ(blocks.events, bytes.events);
    EXPECT_EQ(blocks.lastPosition, bytes.lastPosition);
    // And it really went in blocks, with far fewer bytes on the line.
    EXPECT_EQ(blocks.blockBytes, boot::kPageBytes);
    EXPECT_EQ(bytes.blockBytes, 0);
    EXPECT_LT(blocks.transcript.size() * 2, bytes.transcript.size() + 64);
  }
}

TEST(BlockModeTest, VersionIsFoundInBlocks) {
  TempFolder folder;
  SimulatedUnit unit;
  const std::vector<uint8_t> old = oldFlash();
  std::copy(old.begin(), old.end(), unit.flash().begin());
  ASSERT_EQ(unit.start(), "");
  unit.programmer().setBlockMode(true);
  EXPECT_TRUE(unit.presenter().run(Operation::Version, kUnitPort, folder.str()));
  unit.stop();
  EXPECT_EQ(unit.ui.statuses.back(), "QUILLmar Version 7.01");
  EXPECT_EQ(unit.loader().uses('g'), 32u);
  EXPECT_EQ(unit.loader().uses('R'), 0u);
}

// The transcript with the one block-support query taken out.
std::vector<uint8_t> withoutQuery(std::vector<uint8_t> transcript, size_t at) {
  if (at < transcript.size() && transcript[at] == 'b')
    transcript.erase(transcript.begin() + static_cast<long>(at));
  return transcript;
}

TEST(BlockModeTest, BootLoaderWithoutBlocksGetsTheByteDialogue) {
  bootsim::Faults noBlock;
  noBlock.noBlock = true;
  struct Case {
    const char* name;
    Operation operation;
    size_t queryAt;  // where the query goes: after ESC x4, "S", "a" (Version: after "a")
  };
  const Case cases[] = {
      {"update", Operation::Update, 6},
      {"read", Operation::Read, 6},
      {"version", Operation::Version, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> image = patternImage(700, 5);
    const Outcome plain = run(c.operation, false, image, noBlock);
    const Outcome asked = run(c.operation, true, image, noBlock);
    EXPECT_TRUE(asked.succeeded);
    EXPECT_EQ(asked.blockBytes, 0);
    EXPECT_EQ(asked.transcript.size(), plain.transcript.size() + 1);
    EXPECT_TRUE(withoutQuery(asked.transcript, c.queryAt) == plain.transcript);
    EXPECT_TRUE(asked.flash == plain.flash);
    EXPECT_TRUE(asked.readFile == plain.readFile);
    EXPECT_EQ(asked.events, plain.events);
  }
}

bootsim::Faults nack(uint8_t command, uint32_t use) {
  bootsim::Faults faults;
  faults.nacks.push_back({command, use});
  return faults;
}

TEST(BlockModeTest, BlockThatFailsNamesItselfAndFailsTheStep) {
  const std::string erasedNote =
      "\nThe unit's application is now erased or incomplete: run the update again; the unit "
      "will not work until an update has completed.";
  struct Case {
    const char* name;
    Operation operation;
    bootsim::Faults faults;
    Lines messages;
  };
  const Case cases[] = {
      {"third block load refused",
       Operation::Update,
       nack('B', 3),
       {"block 2 (addresses 0x0200 - 0x02ff) failed to write",
        "error -1 writing device, terminating" + erasedNote}},
      {"last, short block load refused",
       Operation::Update,
       nack('B', 4),
       {"block 3 (addresses 0x0300 - 0x03e7) failed to write",
        "error -1 writing device, terminating" + erasedNote}},
      {"second block of the read-back cut short",
       Operation::Update,
       nack('g', 2),
       {"Failed while reading device\nblock 1 (addresses 0x0100 - 0x01ff) did not arrive whole",
        "failed to read all of memory, rc=-1" + erasedNote}},
      {"a read's block cut short",
       Operation::Read,
       nack('g', 510),
       {"Failed while reading device\nblock 509 (addresses 0x1fd00 - 0x1fdff) did not arrive "
        "whole",
        "failed to read all of memory, rc=-1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    writeImageFile(folder.path() / "quillmar.hex", patternImage(1000, 2));
    SimulatedUnit unit(c.faults);
    ASSERT_EQ(unit.start(), "");
    unit.programmer().setBlockMode(true);
    EXPECT_FALSE(unit.presenter().run(c.operation, kUnitPort, folder.str()));
    unit.stop();
    EXPECT_EQ(unit.ui.messages, c.messages);
  }
}

TEST(BlockModeTest, BlankPagesAreLeftOutOnlyAfterAnErase) {
  struct Case {
    const char* name;
    bool erase;
    uint32_t blockLoads;
  };
  // Six pages, of which pages 1 and 3 are all 0xFF.
  const Case cases[] = {{"after the erase", true, 4}, {"without an erase", false, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedUnit unit;
    ASSERT_EQ(unit.start(), "");
    boot::BootProgrammer& programmer = unit.programmer();
    const std::vector<uint8_t> image = imageWithBlankPages(6 * 256);
    std::copy(image.begin(), image.end(), programmer.imageBuffer().begin());
    programmer.setBlockMode(true);
    ASSERT_EQ(programmer.serialLink().open(kUnitPort, link::kLinkBaudRate), "");
    ASSERT_EQ(programmer.checkSignature(), 0);
    programmer.queryBlockSupport();
    if (c.erase) {
      ASSERT_EQ(programmer.prepareDevice(), 0);
    }
    EXPECT_EQ(programmer.writeFlash(6 * 256), 6 * 256);
    programmer.serialLink().close();
    unit.stop();
    EXPECT_EQ(unit.loader().uses('B'), c.blockLoads);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), unit.flash().begin()));
  }
}

}  // namespace
}  // namespace quillmar::testing
