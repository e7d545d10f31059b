// quillmar-update end to end: its output streams and exit statuses against the simulated unit.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "cli/command_line.h"
#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

struct ProgramRun {
  int status;
  std::string out;
  std::string err;
};

ProgramRun runProgram(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = cli::runCommandLine(args, out, err, false);
  return {status, out.str(), err.str()};
}

TEST(UpdateCommandTest, EachCommandPrintsItsStatusesAndExitStatus) {
  struct Case {
    const char* command;
    std::string imageName;  // "" for no image in the folder
    std::string flashText;
    int status;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {"update", "quillmar.hex", "", 0,
       "Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!\n", ""},
      {"update", "", "", 1, "Programming QUILLmar Application...\nUPDATE FAILED!\n",
       "file read error code -1 terminating\n"},
      {"version", "", "CVersion 1.10", 0,
       "Fetching version. Please wait...\nQUILLmar Version 1.10\n", ""},
      {"version", "", "", 1, "Fetching version. Please wait...\nQUILLmar Version NONE\n", ""},
  };
  // --block says and exits the same; only the unit sees the difference.
  for (const bool block : {false, true})
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.command) + " " + c.imageName + c.flashText +
                   (block ? " --block" : ""));
      TempFolder folder;
      if (!c.imageName.empty())
        writeImageFile(folder.path() / c.imageName, patternImage(700));
      SimulatedUnit unit;
      std::copy(c.flashText.begin(), c.flashText.end(), unit.flash().begin());
      ASSERT_EQ(unit.start(), "");
      std::vector<std::string> args = {"--port", unit.devicePath(), "--folder", folder.str(),
                                       c.command};
      if (block)
        args.insert(args.begin(), "--block");
      const ProgramRun run = runProgram(args);
      unit.stop();
      const bool talked = c.command != std::string("update") || c.status == 0;
      EXPECT_EQ(unit.loader().uses('b'), block && talked ? 1u : 0u);
      EXPECT_EQ(unit.loader().uses('R'), block || !talked                     ? 0u
                                         : c.command == std::string("update") ? 350u
                                                                              : 4096u);
      EXPECT_EQ(run.status, c.status);
      EXPECT_EQ(run.out, c.out);
      // The image loader explains a missing file on its own lines before the message.
      EXPECT_EQ(run.err.substr(run.err.size() - std::min(run.err.size(), c.err.size())), c.err);
      EXPECT_EQ(run.err.empty(), c.err.empty()) << run.err;
    }
}

TEST(UpdateCommandTest, ReadWritesTheFileTheUpdateCameFrom) {
  TempFolder folder;
  const std::vector<uint8_t> image = patternImage(1000, 4);
  writeImageFile(folder.path() / "quillmar.hex", image);
  SimulatedUnit unit;
  ASSERT_EQ(unit.start(), "");
  const std::vector<std::string> base = {"--port=" + unit.devicePath(), "--folder=" + folder.str()};
  std::vector<std::string> args = base;
  args.push_back("update");
  ASSERT_EQ(runProgram(args).status, 0);
  args.back() = "read";
  const ProgramRun read = runProgram(args);
  EXPECT_EQ(read.status, 0);
  EXPECT_EQ(read.out, "Reading App to quillread.hex...\nRead Completed!\n");
  EXPECT_EQ(read.err, "");
  int size = 0;
  const std::vector<uint8_t> saved = readImageFile(folder.path() / "quillread.hex", size);
  EXPECT_EQ(size, boot::kAppRegionBytes);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), saved.begin()));
  EXPECT_TRUE(std::all_of(saved.begin() + 1000, saved.end(), [](uint8_t b) { return b == 0xFF; }));
}

TEST(UpdateCommandTest, PortHeldByAnotherProgramFailsWithTheLinkMessage) {
  SimulatedUnit unit;
  ASSERT_EQ(unit.start(), "");
  link::SerialLink other(unitDevices(unit.devicePath()));
  ASSERT_EQ(other.open(kUnitPort, link::kLinkBaudRate), "");
  const ProgramRun run = runProgram({"read", "--port", unit.devicePath(), "--folder", "/tmp"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Reading App to quillread.hex...\nREAD FAILED!\n");
  EXPECT_EQ(run.err, "Opening serial port: Invalid handle retrieved opening port\n" +
                         unit.devicePath() +
                         ": in use by another program; close that program or choose another "
                         "port.\n");
}

// Failures whose message explains itself in several lines: each is a line of standard error, and
// the image loader's diagnostics appear there once, before the message.
TEST(UpdateCommandTest, FileTroubleIsExplainedOnStandardErrorOnce) {
  struct Case {
    const char* name;
    const char* command;
    std::function<void(const fs::path& folder)> prepare;
    std::string err;  // %s: the folder
  };
  const Case cases[] = {
      {"bad checksum", "update",
       [](const fs::path& folder) {
         std::ofstream(folder / "quillmar.hex") << ":0100000055AB\n:00000001FF\n";
       },
       "ERROR: checksum mismatch at line 1 of \"%s/quillmar.hex\"\n"
       "checksum=0xab, computed checksum=0xaa\n"
       "file read error code -1 terminating\n"},
      {"truncated image", "update",
       [](const fs::path& folder) { std::ofstream(folder / "quillmar.hex") << ":0100000055AA\n"; },
       "WARNING: no end of file record found for Intel Hex file \"%s/quillmar.hex\"\n"
       "\"%s/quillmar.hex\" has no end-of-file record: the file is incomplete, perhaps a "
       "download cut short.\n"
       "Nothing was sent to the unit.\n"},
      {"read-back file is a folder", "read",
       [](const fs::path& folder) { fs::create_directory(folder / "quillread.hex"); },
       "\"%s/quillread.hex\" cannot be written: Is a directory.\n"
       "Nothing was read from the unit.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    c.prepare(folder.path());
    SimulatedUnit unit;
    ASSERT_EQ(unit.start(), "");
    const ProgramRun run =
        runProgram({"--port", unit.devicePath(), "--folder", folder.str(), c.command});
    unit.stop();
    EXPECT_EQ(run.status, 1);
    std::string err = c.err;
    for (size_t at; (at = err.find("%s")) != std::string::npos;)
      err.replace(at, 2, folder.str());
    EXPECT_EQ(run.err, err);
    EXPECT_EQ(unit.bytesReceived(), 0u);
  }
}

// Verify's texts and status, in both modes; that it only reads is the wire table's.
TEST(UpdateCommandTest, VerifyComparesWithoutWriting) {
  struct Case {
    const char* name;
    int changedAt;  // flash byte made to differ from the image; -1 for none
    int status;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {"equal", -1, 0, "Verifying Data...\nVerify Completed!\n", ""},
      {"differing", 0x1234, 1, "Verifying Data...\nVERIFY FAILED!\n",
       "Verification error at address 01234: was 00 should be "},
  };
  const std::vector<uint8_t> image = patternImage(6000, 2);
  for (const bool block : {false, true})
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (block ? " --block" : ""));
      TempFolder folder;
      writeImageFile(folder.path() / "quillmar.hex", image);
      SimulatedUnit unit;
      std::copy(image.begin(), image.end(), unit.flash().begin());
      if (c.changedAt >= 0)
        unit.flash()[c.changedAt] = 0;
      ASSERT_EQ(unit.start(), "");
      std::vector<std::string> args = {"--port", unit.devicePath(), "--folder", folder.str(),
                                       "verify"};
      if (block)
        args.push_back("--block");
      const ProgramRun run = runProgram(args);
      unit.stop();
      EXPECT_EQ(run.status, c.status);
      EXPECT_EQ(run.out, c.out);
      EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
      EXPECT_EQ(run.err.empty(), c.err.empty()) << run.err;
      EXPECT_EQ(unit.loader().uses('B') + unit.loader().uses('e'), 0u);
    }
}

// --image and --output move the image through files of either format: what read saves, update
// programs back and verify finds equal.
TEST(UpdateCommandTest, NamedFilesRoundTripInEitherFormat) {
  const std::vector<uint8_t> image = patternImage(3000, 9);
  for (const char* name : {"saved.hex", "saved.BIN"}) {
    SCOPED_TRACE(name);
    TempFolder folder;
    const std::string file = (folder.path() / name).string();
    SimulatedUnit unit;
    std::copy(image.begin(), image.end(), unit.flash().begin());
    ASSERT_EQ(unit.start(), "");
    const std::string port = "--port=" + unit.devicePath();  // with --block to be quick
    const ProgramRun read = runProgram({port, "--block", "read", "--output", file});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out, std::string("Reading App to ") + name + "...\nRead Completed!\n");
    EXPECT_FALSE(fs::exists(folder.path() / "quillread.hex"));
    std::vector<uint8_t> saved(boot::kAppRegionBytes);
    std::ostringstream diag;
    const bool binary = name[6] == 'B';
    EXPECT_EQ(image::fileio(image::Input, file, binary ? image::RawBinary : image::IntelHex,
                            saved.data(), boot::kAppRegionBytes, diag),
              boot::kAppRegionBytes);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), saved.begin()));
    const ProgramRun verify = runProgram({port, "--block", "verify", "--image", file});
    EXPECT_EQ(verify.status, 0) << verify.err;
    const ProgramRun update = runProgram({port, "--block", "--image=" + file, "update"});
    EXPECT_EQ(update.status, 0) << update.err;
    EXPECT_EQ(update.out,
              "Programming QUILLmar Application...\nVerifying Data...\nQUILLmar Updated!\n");
    unit.stop();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), unit.flash().begin()));
  }
}

// --port auto asks the listed ports in order and takes the first boot loader; a port another
// program holds is passed over without a byte, and a unit that answers something else is not
// taken.
TEST(UpdateCommandTest, AutoPortTakesTheFirstBootLoaderThatAnswers) {
  SimulatedUnit held;
  bootsim::Faults wrongId;
  wrongId.identifier = "XYZ\x01";
  SimulatedUnit stranger(wrongId);
  SimulatedUnit unit;
  const std::string version = "CVersion 2.05";
  std::copy(version.begin(), version.end(), unit.flash().begin());
  for (SimulatedUnit* sim : {&held, &stranger, &unit})
    ASSERT_EQ(sim->start(), "");
  link::SerialLink other(unitDevices(held.devicePath()));
  ASSERT_EQ(other.open(kUnitPort, link::kLinkBaudRate), "");

  struct Case {
    const char* name;
    std::vector<std::string> devices;
    int status;
    std::string out;
    std::string err;  // %h, %s, %u: the held, stranger's and unit's devices
  };
  const Case cases[] = {
      {"unit last",
       {held.devicePath(), stranger.devicePath(), unit.devicePath()},
       0,
       "Fetching version. Please wait...\nQUILLmar Version 2.05\n",
       "--port auto: the boot loader answers on %u\n"},
      {"no unit",
       {held.devicePath(), stranger.devicePath()},
       1,
       "",
       "--port auto: no boot loader answered \"AVRBOOT\"; tried:\n"
       "  %h: in use by another program; close that program or choose another port.\n"
       "  %s: answered \"XYZ\\x01\"\n"},
      {"no ports", {}, 1, "", "--port auto: no serial ports were found on this computer.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const cli::PortLister lister = [&] {
      std::vector<link::SerialPortInfo> ports;
      for (const std::string& device : c.devices)
        ports.push_back({device, "pseudo-terminal", "", false, "", "", ""});
      return ports;
    };
    std::ostringstream out, err;
    const int status = cli::runCommandLine({"--port", "auto", "version"}, out, err, false, lister,
                                           kTestReplyTimeoutMs);
    std::string expected = c.err;
    for (const auto& [mark, device] :
         {std::pair{"%h", held.devicePath()}, std::pair{"%s", stranger.devicePath()},
          std::pair{"%u", unit.devicePath()}}) {
      for (size_t at; (at = expected.find(mark)) != std::string::npos;)
        expected.replace(at, 2, device);
    }
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), expected);
  }
  other.close();
  for (SimulatedUnit* sim : {&held, &stranger, &unit})
    sim->stop();
  EXPECT_EQ(held.bytesReceived(), 0u);
  EXPECT_EQ(stranger.loader().uses('S'), 2u);
  EXPECT_EQ(unit.loader().uses('S'), 1u);
}

}  // namespace
}  // namespace quillmar::testing
