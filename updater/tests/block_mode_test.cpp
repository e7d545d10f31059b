// Block mode end to end: against the simulated unit over a real pseudo-terminal, block
// transfers must leave the same flash, files, texts and progress as the byte-by-byte dialogue,
// and a boot loader without them must get exactly that dialogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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
  Lines statuses;
  int progressSteps;
};

const Lines kUpdated = {"Programming QUILLmar Application...", "Verifying Data...",
                        "QUILLmar Updated!"};

const Shape kShapes[] = {
    {"update, a full and a partial page", Operation::Update, 300, kUpdated, 1},
    {"update, odd size", Operation::Update, 5, kUpdated, 0},
    {"update, blank pages inside", Operation::Update, 5 * 256 + 17, kUpdated, 5},
    {"update, the whole region", Operation::Update, kAppRegionBytes, kUpdated, 510},
    {"read", Operation::Read, 300, {"Reading App to quillread.hex...", "Read Completed!"}, 510},
    {"version",
     Operation::Version,
     300,
     {"Fetching version. Please wait...", "QUILLmar Version 7.01"},
     -1},
};

TEST(BlockModeTest, LeavesTheSameFlashFilesAndTextsAsTheByteDialogue) {
  for (const Shape& shape : kShapes) {
    SCOPED_TRACE(shape.name);
    const std::vector<uint8_t> image = imageWithBlankPages(shape.imageSize);
    const Outcome bytes = run(shape.operation, false, image);
    const Outcome blocks = run(shape.operation, true, image);
    EXPECT_TRUE(bytes.succeeded);
    EXPECT_EQ(bytes.statuses, shape.statuses);
    EXPECT_EQ(bytes.lastPosition, shape.progressSteps);
    if (shape.operation == Operation::Update) {  // the image, then erased: nothing old survives
      EXPECT_TRUE(std::equal(image.begin(), image.end(), bytes.flash.begin()));
      EXPECT_TRUE(std::all_of(bytes.flash.begin() + shape.imageSize,
                              bytes.flash.begin() + kAppRegionBytes,
                              [](uint8_t b) { return b == 0xFF; }));
    }
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

// The unit's received bytes as commands: "A" with its word address in hex, a word load as
// "cC" (its data bytes left out, the flash shows them), a block command with its size and
// memory type but not its data, and a run of one command as "<command>*<count>".
std::string commands(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> names;
  for (size_t at = 0; at < bytes.size();) {
    const uint8_t code = bytes[at];
    char name[16] = {static_cast<char>(code), 0};
    size_t length = 1;
    if (code == 0x1B) {
      std::snprintf(name, sizeof name, "ESC");
    } else if (code == 'A' && at + 2 < bytes.size()) {
      std::snprintf(name, sizeof name, "A%02X%02X", bytes[at + 1], bytes[at + 2]);
      length = 3;
    } else if (code == 'c' && at + 2 < bytes.size() && bytes[at + 2] == 'C') {
      std::snprintf(name, sizeof name, "cC");
      length = 4;
    } else if ((code == 'B' || code == 'g') && at + 3 < bytes.size()) {
      std::snprintf(name, sizeof name, "%c%02X%02X%c", code, bytes[at + 1], bytes[at + 2],
                    bytes[at + 3]);
      length = 4 + (code == 'B' ? (bytes[at + 1] << 8 | bytes[at + 2]) : 0);
    }
    names.emplace_back(name);
    at += length;
  }
  std::string text;
  for (size_t at = 0, run = 1; at < names.size(); at += run) {
    for (run = 1; at + run < names.size() && names[at + run] == names[at];)
      ++run;
    text += (text.empty() ? "" : " ") + names[at] + (run > 1 ? "*" + std::to_string(run) : "");
  }
  return text;
}

TEST(WireTest, EachOperationSendsItsCommandsInOrder) {
  bootsim::Faults noBlock;
  noBlock.noBlock = true;
  const std::string update = "ESC*4 S a ESC*4 P e P A0000*2 ";
  // 700 bytes: pages 0 and 1 in full, 188 bytes of page 2; page 1 is all 0xFF.
  const std::string pages = "cC*128 A0000 m A0080 cC*128 A0080 m A0100 cC*94 A0100 m A0100 L ";
  const std::string readBack = "P A0000 R*350 L";
  const struct {
    const char* name;
    Operation operation;
    bool block;
    int imageSize;
    bootsim::Faults faults;
    std::string commands;
  } cases[] = {
      {"update", Operation::Update, false, 700, {}, update + pages + readBack},
      {"update, odd size",
       Operation::Update,
       false,
       5,
       {},
       update + "cC*3 A0000 m A0000 L P A0000 R*3 L"},
      {"update in blocks",
       Operation::Update,
       true,
       700,
       {},
       "ESC*4 S a b ESC*4 P e P A0000*2 B0100F A0100 B00BCF L P A0000 g0100F*2 g00BCF L"},
      {"update, no blocks offered", Operation::Update, true, 700, noBlock,
       "ESC*4 S a b ESC*4 P e P A0000*2 " + pages + readBack},
      {"verify", Operation::Verify, false, 700, {}, "ESC*4 S a " + readBack},
      {"read", Operation::Read, false, 700, {}, "ESC*4 S a P A0000 R*65280 L"},
      {"read in blocks", Operation::Read, true, 700, {}, "ESC*4 S a b P A0000 g0100F*510 L"},
      {"version", Operation::Version, false, 700, {}, "a A0000 R*4096"},
      {"version in blocks", Operation::Version, true, 700, {}, "a b A0000 g0100F*32"},
      {"version, no blocks offered", Operation::Version, true, 700, noBlock, "a b A0000 R*4096"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = run(c.operation, c.block, imageWithBlankPages(c.imageSize), c.faults);
    EXPECT_EQ(outcome.succeeded, c.operation != Operation::Verify);  // the unit holds oldFlash()
    EXPECT_EQ(commands(outcome.transcript), c.commands);
  }
}

bootsim::Faults nack(uint8_t command, uint32_t use) {
  bootsim::Faults faults;
  faults.nacks.push_back({command, use});
  return faults;
}

// A block that does not arrive whole costs a reply's time-out; a refused block load is pinned end
// to end by the transcript.
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
