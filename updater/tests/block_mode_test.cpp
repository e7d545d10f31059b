// Block mode end to end: against the simulated unit over a real pseudo-terminal, block
// transfers must leave the same flash, files, texts and progress as the byte-by-byte dialogue,
// and a boot loader without them must get exactly that dialogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "image/diag_print.h"
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

// `size` bytes of pattern with the `blank` pages (where present) all 0xFF.
std::vector<uint8_t> imageWithBlankPages(int size, std::initializer_list<int> blank = {1, 3}) {
  std::vector<uint8_t> image = patternImage(size, 3);
  for (int page : blank) {
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

// What a command script stands for on the wire, and where each of its commands starts.
struct Wire {
  std::vector<uint8_t> bytes;
  std::vector<std::pair<size_t, std::string>> commands;
};

// The bytes of `script`: commands separated by ";", fields by blanks. "ESC" is 0x1B, a single
// character its byte, 4 hex digits two bytes (high first), "@ADDR" the bytes of `image` from hex
// ADDR for the length just given, "cC FROM-TO" the word loads of `image` bytes FROM..TO, and a
// last field "xN" repeats the command N times.
Wire wire(const std::string& script, const std::vector<uint8_t>& image) {
  Wire result;
  std::istringstream commands(script);
  for (std::string command; std::getline(commands, command, ';');) {
    std::istringstream fields(command);
    std::vector<uint8_t> bytes;
    long length = 0;
    int repeat = 1;
    for (std::string field; fields >> field;) {
      if (field == "ESC") {
        bytes.push_back(0x1B);
      } else if (field == "cC" && fields >> field) {
        for (long at = std::stol(field, nullptr, 16); at < std::stol(field.substr(5), nullptr, 16);
             at += 2)
          bytes.insert(bytes.end(), {'c', image.at(at), 'C', image.at(at + 1)});
      } else if (field.size() == 1) {
        bytes.push_back(static_cast<uint8_t>(field[0]));
      } else if (field[0] == '@') {
        for (long at = std::stol(field.substr(1), nullptr, 16), n = 0; n < length; ++n)
          bytes.push_back(image.at(at + n));
      } else if (field[0] == 'x') {
        repeat = std::stoi(field.substr(1));
      } else {
        length = std::stol(field, nullptr, 16);
        bytes.insert(bytes.end(),
                     {static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
      }
    }
    command.erase(0, command.find_first_not_of(' '));  // as written, for a failure to quote
    result.commands.emplace_back(result.bytes.size(), command);
    for (int i = 0; i < repeat; ++i)
      result.bytes.insert(result.bytes.end(), bytes.begin(), bytes.end());
  }
  return result;
}

// "" when `sent` is exactly `expected`'s bytes; else the first byte that differs, with the
// expected command it falls in, so a missing or extra command shows where it happened.
std::string departure(const std::vector<uint8_t>& sent, const Wire& expected) {
  const auto [s, e] =
      std::mismatch(sent.begin(), sent.end(), expected.bytes.begin(), expected.bytes.end());
  if (s == sent.end() && e == expected.bytes.end())
    return "";
  const size_t at = static_cast<size_t>(s - sent.begin());
  const auto command =
      std::upper_bound(expected.commands.begin(), expected.commands.end(), at,
                       [](size_t offset, const auto& start) { return offset < start.first; });
  const auto byte = [](auto it, auto end) {
    if (it == end)
      return std::string("nothing");
    return image::formatText(*it >= ' ' && *it <= '~' ? "0x%02X '%c'" : "0x%02X", *it, *it);
  };
  return image::formatText("byte %zu, in \"%s\": sent %s, expected %s", at,
                           command == expected.commands.begin() ? "" : command[-1].second.c_str(),
                           byte(s, sent.end()).c_str(), byte(e, expected.bytes.end()).c_str());
}

TEST(WireTest, EachOperationSendsExactlyItsBytes) {
  bootsim::Faults noBlock;
  noBlock.noBlock = true;
  const std::string hello = "ESC x4; S; a; ";
  const std::string erase = "ESC x4; P; e; P; A 0000; A 0000; ";
  // 1123 bytes: pages 0 to 3 in full, 99 bytes of page 4 and the fill byte; page 2 is all 0xFF.
  // Each page is committed at its own word address, then the address moves to the next page.
  const std::string pages =
      "cC 0000-00FF; A 0000; m; A 0080; "
      "cC 0100-01FF; A 0080; m; A 0100; "
      "cC 0200-02FF; A 0100; m; A 0180; "
      "cC 0300-03FF; A 0180; m; A 0200; "
      "cC 0400-0463; A 0200; m; A 0200; L; ";
  // A block load leaves the address just after its block: only the page left out makes it jump.
  const std::string blocks =
      "B 0100 F @0000; "
      "B 0100 F @0100; "
      "A 0180; "
      "B 0100 F @0300; "
      "B 0064 F @0400; L; ";
  const std::string readBack = "P; A 0000; R x562; L";
  const struct {
    const char* name;
    Operation operation;
    bool block;
    int imageSize;
    bootsim::Faults faults;
    std::string script;
  } cases[] = {
      {"update", Operation::Update, false, 1123, {}, hello + erase + pages + readBack},
      {"update, odd size",
       Operation::Update,
       false,
       5,
       {},
       hello + erase + "cC 0000-0005; A 0000; m; A 0000; L; P; A 0000; R x3; L"},
      {"update in blocks",
       Operation::Update,
       true,
       1123,
       {},
       hello + "b; " + erase + blocks + "P; A 0000; g 0100 F x4; g 0064 F; L"},
      {"update, no blocks offered", Operation::Update, true, 1123, noBlock,
       hello + "b; " + erase + pages + readBack},
      {"verify", Operation::Verify, false, 1123, {}, hello + readBack},
      {"read", Operation::Read, false, 1123, {}, hello + "P; A 0000; R x65280; L"},
      {"read in blocks", Operation::Read, true, 1123, {}, hello + "b; P; A 0000; g 0100 F x510; L"},
      {"version", Operation::Version, false, 1123, {}, "a; A 0000; R x4096"},
      {"version in blocks", Operation::Version, true, 1123, {}, "a; b; A 0000; g 0100 F x32"},
      {"version, no blocks offered", Operation::Version, true, 1123, noBlock,
       "a; b; A 0000; R x4096"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> image = imageWithBlankPages(c.imageSize, {2});
    const Outcome outcome = run(c.operation, c.block, image, c.faults);
    EXPECT_EQ(outcome.succeeded, c.operation != Operation::Verify);  // the unit holds oldFlash()
    std::vector<uint8_t> filled = image;  // as the file loader leaves the buffer
    filled.resize(kAppRegionBytes, 0xFF);
    EXPECT_EQ(departure(outcome.transcript, wire(c.script, filled)), "");
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
