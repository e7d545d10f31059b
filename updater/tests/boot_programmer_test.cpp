// The updater's operations end to end: the presenter and programmer against the simulated
// unit through a real pseudo-terminal.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

using Lines = std::vector<std::string>;
using boot::kAppRegionBytes;
using boot::Operation;

const Lines kUpdateFailed = {"Programming QUILLmar Application...", "UPDATE FAILED!"};
const std::string kErasedNote =
    "\nThe unit's application is now erased or incomplete: run the update again; the unit will "
    "not work until an update has completed.";

// What the updater says when nothing answers the identifier command on `device`.
std::string noAnswer(const std::string& device) {
  return "The unit does not answer on " + device +
         ".\nCheck that the null-modem cable connects this port to the unit's serial port, that "
         "DIP switch #8 is on and DIP switch #1 (reset) off, and that the unit has power.";
}

// The second line of the link's message when it can't open `device`, up to the reason's start.
std::string openFailure(const std::string& device, const std::string& reason) {
  return "Opening serial port: Invalid handle retrieved opening port\n" + device + ": " + reason;
}

// Fills the unit's flash with a pattern, so an erase or a misplaced page shows.
void fillFlash(SimulatedUnit& unit, int seed) {
  const std::vector<uint8_t> old = patternImage(static_cast<int>(unit.flash().size()), seed);
  std::copy(old.begin(), old.end(), unit.flash().begin());
}

// One faulty unit and what the user sees when Update meets it (a 300-byte image).
struct UpdateFailure {
  const char* name;
  bootsim::Faults faults;
  Lines messages;
  bool verifying;  // the write completed and "Verifying Data..." was shown
  bool erased;     // the erase was sent: the last message says the unit needs a new update
};

bootsim::Faults nack(uint8_t command, uint32_t use) {
  bootsim::Faults faults;
  faults.nacks.push_back({command, use});
  return faults;
}

bootsim::Faults silentAfter(uint64_t bytes) {
  bootsim::Faults faults;
  faults.silentAfter = bytes;
  return faults;
}

// Bytes the unit receives before the image's first "c": 4 ESC, "S", "a"; 4 ESC, "P", "e",
// "P", "A" 0 0; "A" 0 0.
constexpr uint64_t kBytesBeforeData = 6 + 10 + 3;

// The faults that cost a reply's time-out; the others are pinned end to end by the transcript.
std::vector<UpdateFailure> updateFailures() {
  // Bytes of a 300-byte write after the data: two page commits of "A" 2 bytes, "m", "A" 2
  // bytes, then "L"; the read-back starts with "P", "A" 0 0.
  return {
      {"silent mid-page",
       silentAfter(kBytesBeforeData + 2 * 100),
       {"avr write byte failed at 101", "error -1 writing device, terminating"},
       false,
       true},
      {"read-back word",
       nack('R', 40),
       {"Failed while reading device", "failed to read all of memory, rc=-1"},
       true,
       true},
      {"silent during read-back",
       silentAfter(kBytesBeforeData + 600 + 2 * 7 + 1 + 4 + 20),
       {"failed to exit programming mode after read", "failed to read all of memory, rc=-1"},
       true,
       true},
  };
}

TEST(UpdateTest, EachFailureShowsItsMessagesAndFailsTheUpdate) {
  for (const UpdateFailure& c : updateFailures()) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    writeImageFile(folder.path() / "quillmar.hex", patternImage(300, 3));
    SimulatedUnit unit(c.faults);
    fillFlash(unit, 5);
    ASSERT_EQ(unit.start(), "");
    EXPECT_FALSE(unit.presenter().run(Operation::Update, kUnitPort, folder.str()));
    unit.stop();
    if (!c.erased) {  // stopped before the erase: the old application is all there
      const std::vector<uint8_t> old = patternImage(static_cast<int>(unit.flash().size()), 5);
      EXPECT_TRUE(std::equal(old.begin(), old.end(), unit.flash().begin()));
    }
    Lines messages = c.messages;
    if (c.erased)
      messages.back() += kErasedNote;
    EXPECT_EQ(unit.ui.messages, messages);
    const Lines statuses = c.verifying ? Lines{"Programming QUILLmar Application...",
                                               "Verifying Data...", "UPDATE FAILED!"}
                                       : kUpdateFailed;
    EXPECT_EQ(unit.ui.statuses, statuses);
  }
}

// An image that can't be loaded is reported after the port has opened, in a box that also
// holds the loader's own explanation, which goes to the diagnostic stream once.
TEST(UpdateTest, ImageThatFailsToLoadSendsNothingAndTheBoxSaysWhy) {
  struct Case {
    const char* name;
    const char* contents;  // null: no file
    std::string diagnostic;
  };
  const Case cases[] = {
      {"missing", nullptr, "can't open input file %s: No such file or directory"},
      {"beyond the region", ":020000040002F8\n:0100000055AA\n:00000001FF\n",
       "ERROR: address 0x20001 out of range at line 2 of %s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string path = (folder.path() / "quillmar.hex").string();
    if (c.contents != nullptr)
      std::ofstream(path) << c.contents;
    SimulatedUnit unit;
    ASSERT_EQ(unit.start(), "");
    EXPECT_FALSE(unit.presenter().run(Operation::Update, kUnitPort, folder.str()));
    unit.stop();
    char diagnostic[400];
    std::snprintf(diagnostic, sizeof diagnostic, c.diagnostic.c_str(), path.c_str());
    EXPECT_EQ(unit.ui.messages,
              Lines{"file read error code -1 terminating\n" + std::string(diagnostic)});
    EXPECT_EQ(unit.diag.str(), std::string(diagnostic) + "\n");
    EXPECT_EQ(unit.ui.statuses, kUpdateFailed);
    EXPECT_EQ(unit.bytesReceived(), 0u);
  }
}

// An image with nothing to program, or cut short before its end record, is refused before the
// port opens: another program may even hold it. The loader's warning still goes to the
// diagnostic stream.
TEST(UpdateTest, ImageWithoutDataOrEndRecordIsRefusedBeforeThePortOpens) {
  struct Case {
    const char* name;
    std::string contents;
    std::string fault;
    bool warned;  // the loader warned of the missing end record
  };
  const Case cases[] = {
      {"only the end record", ":00000001FF\n", "holds no data records: there is nothing to program",
       false},
      {"truncated", ":0100000055AA\n:0100010055A9\n",
       "has no end-of-file record: the file is incomplete, perhaps a download cut short", true},
      {"empty file", "",
       "holds no data records and no end-of-file record: it is empty or not an image file", true},
      {"no records at all", "<html>404 Not Found</html>\n",
       "is not an Intel HEX file: line 1 is not a record: \"<html>404 Not Found</html>\"", false},
  };
  for (const bool portHeld : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (portHeld ? ", port held" : ""));
      TempFolder folder;
      const std::string path = (folder.path() / "quillmar.hex").string();
      std::ofstream(path) << c.contents;
      SimulatedUnit unit;
      ASSERT_EQ(unit.start(), "");
      link::SerialLink other(unitDevices(unit.devicePath()));
      if (portHeld) {
        ASSERT_EQ(other.open(kUnitPort, link::kLinkBaudRate), "");
      }
      EXPECT_EQ(unit.programmer().updateApplication(kUnitPort, folder.str()), -1);
      other.close();
      unit.stop();
      EXPECT_EQ(unit.ui.messages,
                Lines{"\"" + path + "\" " + c.fault + ".\nNothing was sent to the unit."});
      EXPECT_EQ(unit.diag.str().find("WARNING: no end of file record") != std::string::npos,
                c.warned);
      EXPECT_EQ(unit.bytesReceived(), 0u);
    }
  }
}

// A unit that sends nothing is told apart from one that sends a wrong identifier.
TEST(OperationTest, SilentUnitIsGivenUpAfterOneTimeOut) {
  for (const Operation operation : {Operation::Update, Operation::Read}) {
    TempFolder folder;
    writeImageFile(folder.path() / "quillmar.hex", patternImage(300));
    SimulatedUnit unit(silentAfter(0));
    ASSERT_EQ(unit.start(), "");
    EXPECT_FALSE(unit.presenter().run(operation, kUnitPort, folder.str()));
    EXPECT_EQ(unit.ui.messages,
              (Lines{noAnswer(unit.devicePath()), "signature check failed, rc=-1"}));
  }
}

TEST(OperationTest, PortThatCannotOpenFailsEveryOperationWithTheLinkMessage) {
  struct Case {
    Operation operation;
    int port;
    std::string failedStatus;
  };
  const Case cases[] = {
      {Operation::Update, kUnitPort, "UPDATE FAILED!"},
      {Operation::Version, kUnitPort, "QUILLmar Version NONE"},
      {Operation::Update, 0, "UPDATE FAILED!"},  // COM1: no device behind it
      {Operation::Version, 4, "QUILLmar Version NONE"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    writeImageFile(folder.path() / "quillmar.hex", patternImage(300));
    SimulatedUnit unit;
    ASSERT_EQ(unit.start(), "");
    link::SerialLink other(unitDevices(unit.devicePath()));  // another program holds COM2
    ASSERT_EQ(other.open(kUnitPort, link::kLinkBaudRate), "");
    EXPECT_FALSE(unit.presenter().run(c.operation, c.port, folder.str()));
    const std::string device = unitDevices(unit.devicePath())[c.port % 4];
    const std::string expected = c.port == 4 ? "Opening serial port: Only Com1 - Com4 are supported"
                                 : c.port == 0 ? openFailure(device, "no such device; ")
                                               : openFailure(device, "in use by another program; ");
    ASSERT_EQ(unit.ui.messages.size(), 1u);
    EXPECT_EQ(unit.ui.messages[0].substr(0, expected.size()), expected);
    EXPECT_EQ(unit.ui.statuses.back(), c.failedStatus);
    EXPECT_FALSE(unit.programmer().serialLink().isOpen());
  }
}

TEST(OperationTest, EachOperationReleasesThePort) {
  TempFolder folder;
  writeImageFile(folder.path() / "quillmar.hex", patternImage(300));
  bootsim::Faults faults;  // failing steps must release it too; only Version succeeds
  faults.nacks = {{'e', 1}, {'P', 2}};
  SimulatedUnit unit(faults);
  ASSERT_EQ(unit.start(), "");
  for (Operation operation : {Operation::Update, Operation::Read, Operation::Version}) {
    unit.presenter().run(operation, kUnitPort, folder.str());
    link::SerialLink other(unitDevices(unit.devicePath()));
    EXPECT_EQ(other.open(kUnitPort, link::kLinkBaudRate), "");
  }
}

bootsim::Faults idFault(const std::string& identifier) {
  bootsim::Faults faults;
  faults.identifier = identifier;
  return faults;
}

TEST(ReadTest, EachFailureShowsItsMessagesAndFailsTheRead) {
  struct Case {
    const char* name;
    bootsim::Faults faults;
    Lines messages;
  };
  // A missing identifier byte is the time-out's 0xFE; the faults that cost no time-out are
  // pinned end to end by the transcript.
  const Case cases[] = {
      {"short identifier",
       idFault("AVRB"),
       {"AVRB\\xFE\\xFE\\xFE received, bad signature", "signature check failed, rc=-1"}},
      {"word",
       nack('R', 100),
       {"Failed while reading device", "failed to read all of memory, rc=-1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    SimulatedUnit unit(c.faults);
    ASSERT_EQ(unit.start(), "");
    EXPECT_FALSE(unit.presenter().run(Operation::Read, kUnitPort, folder.str()));
    EXPECT_EQ(unit.ui.messages, c.messages);
    EXPECT_EQ(unit.ui.statuses.back(), "READ FAILED!");
    EXPECT_FALSE(fs::exists(folder.path() / "quillread.hex"));
  }
}

// Where the read-back can't be written is found before a byte goes to the unit, even when
// another program holds the port.
TEST(ReadTest, UnwritableFileIsRefusedBeforeThePortOpens) {
  struct Case {
    const char* name;
    std::function<fs::path(const fs::path&)> prepare;  // makes the trouble; returns the folder
    const char* reason;
  };
  const Case cases[] = {
      {"quillread.hex is a folder",
       [](const fs::path& folder) {
         fs::create_directory(folder / "quillread.hex");
         return folder;
       },
       "Is a directory"},
      {"missing folder", [](const fs::path& folder) { return folder / "absent"; },
       "No such file or directory"},
      {"read-only folder",
       [](const fs::path& folder) {
         ::chmod(folder.c_str(), 0555);
         return folder;
       },
       "Permission denied"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string(c.reason) == "Permission denied" && ::geteuid() == 0)
      continue;  // root writes into read-only folders
    TempFolder folder;
    const fs::path target = c.prepare(folder.path());
    SimulatedUnit unit;
    ASSERT_EQ(unit.start(), "");
    link::SerialLink other(unitDevices(unit.devicePath()));
    ASSERT_EQ(other.open(kUnitPort, link::kLinkBaudRate), "");
    EXPECT_EQ(unit.programmer().readApplication(kUnitPort, target.string()), -1);
    other.close();
    unit.stop();
    ::chmod(folder.path().c_str(), 0755);
    const std::string file = (target / "quillread.hex").string();
    EXPECT_EQ(unit.ui.messages, Lines{"\"" + file + "\" cannot be written: " + c.reason +
                                      ".\nNothing was read from the unit."});
    EXPECT_EQ(unit.bytesReceived(), 0u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()),
              fs::exists(folder.path() / "quillread.hex") ? 1 : 0)
        << "a probe file was left behind";
  }
}

// Where the marker stands is pinned end to end by the transcript; here, the faults that cost a
// reply's time-out: the search gives up however far it got.
TEST(VersionTest, AFailingStepGivesUpTheSearch) {
  for (const bootsim::Faults& faults : {nack('R', 4096), silentAfter(2 + 3 + 2 * 50)}) {
    SimulatedUnit unit(faults);
    const std::string marker = "CVersion 1.10";
    std::copy(marker.begin(), marker.end(), unit.flash().begin());
    ASSERT_EQ(unit.start(), "");
    EXPECT_EQ(unit.programmer().queryVersion(kUnitPort), "NONE");
  }
}

}  // namespace
}  // namespace quillmar::testing
