// The command line's parsing, port choice, and what its user interface writes where.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <sstream>

#include "boot/transfer_estimate.h"
#include "boot/updater_presenter.h"
#include "cli/command_line.h"
#include "cli/console_ui.h"
#include "cli/latency_note.h"

namespace quillmar::cli {
namespace {

using Args = std::vector<std::string>;

// The port and folder each command goes to when given in either spelling, or not at all; the
// other options are pinned end to end by the transcript.
TEST(CommandLineTest, AcceptsEachCommandWithItsPortAndFolder) {
  struct Case {
    Args args;
    std::string port;
    std::string folder;
    Command command;
  };
  const Case cases[] = {
      {{"update"}, "COM1", "", Command::Update},
      {{"--folder=/x y", "version", "--port=/dev/ttyUSB0"},
       "/dev/ttyUSB0",
       "/x y",
       Command::Version},
      {{"--folder", "-", "read", "--port", "COM2"}, "COM2", "-", Command::Read},
      {{"backups", "--port", "COM2"}, "COM2", "", Command::Backups},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto line = parseCommandLine(c.args, error);
    ASSERT_TRUE(line) << c.args[0] << ": " << error;
    EXPECT_FALSE(line->help);
    EXPECT_EQ(line->port, c.port);
    EXPECT_FALSE(runsSeveralUnits(*line));
    EXPECT_EQ(line->folder, c.folder);
    EXPECT_EQ(line->command, c.command);
  }
}

// More than one --port, or --port all, runs several units: every port in the order given.
TEST(CommandLineTest, SeveralPortsRunSeveralUnits) {
  const std::pair<Args, Args> cases[] = {
      {{"--port", "COM2", "update", "--port=/dev/ttyUSB0"}, {"COM2", "/dev/ttyUSB0"}},
      {{"read", "--port", "all"}, {"all"}},
  };
  for (const auto& [args, ports] : cases) {
    std::string error;
    const auto line = parseCommandLine(args, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->ports, ports);
    EXPECT_TRUE(runsSeveralUnits(*line));
  }
}

// The options of the steps before the erase, each with the commands it serves; restore's file.
TEST(CommandLineTest, SafetyOptionsGoWithTheCommandsTheyServe) {
  struct Case {
    Args args;
    Command command;
    std::string keptCopy;
    // allow older, allow reinstall, no backup, dry run, json, legacy
    std::array<bool, 6> flags;
  };
  const Case cases[] = {
      {{"--allow-older", "update", "--allow-reinstall"},
       Command::Update,
       "",
       {true, true, false, false, false, false}},
      {{"update", "--no-backup", "--dry-run", "--json"},
       Command::Update,
       "",
       {false, false, true, true, true, false}},
      {{"--legacy", "--json", "update"},
       Command::Update,
       "",
       {false, false, false, false, true, true}},
      {{"read", "--legacy"}, Command::Read, "", {false, false, false, false, false, true}},
      {{"restore"}, Command::Restore, "", {}},
      {{"--dry-run", "restore", "kept copy.hex", "--no-backup"},
       Command::Restore,
       "kept copy.hex",
       {false, false, true, true, false, false}},
      {{"history", "--json"}, Command::History, "", {false, false, false, false, true, false}},
      {{"--json", "version"}, Command::Version, "", {false, false, false, false, true, false}},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto line = parseCommandLine(c.args, error);
    ASSERT_TRUE(line) << c.args[0] << ": " << error;
    EXPECT_EQ(line->command, c.command) << c.args[0];
    EXPECT_EQ(line->keptCopy, c.keptCopy) << c.args[0];
    const std::array<bool, 6> flags = {line->allowOlder, line->allowReinstall, line->noBackup,
                                       line->dryRun,     line->json,           line->legacy};
    EXPECT_EQ(flags, c.flags) << c.args[0];
  }
}

// Each option with a command it does not serve, --legacy with an option whose steps it leaves
// out, and a second file for restore are usage errors, named as the user gave them.
TEST(CommandLineTest, RefusesSafetyOptionsWhereTheyMeanNothing) {
  const std::pair<Args, std::string> cases[] = {
      {{"read", "--allow-older"}, "option --allow-older applies to update only"},
      {{"restore", "--allow-reinstall"}, "option --allow-reinstall applies to update only"},
      {{"verify", "--no-backup"}, "option --no-backup applies to update and restore only"},
      {{"--dry-run", "read"}, "option --dry-run applies to update and restore only"},
      {{"backups", "--json"},
       "option --json applies to update, restore, read, verify, version and history only"},
      {{"restore", "--legacy"}, "option --legacy applies to update and read only"},
      {{"--legacy", "update", "--dry-run"},
       "option --dry-run means nothing with --legacy, which leaves out the steps before the erase"},
      {{"--legacy", "--no-backup", "update"},
       "option --no-backup means nothing with --legacy, which leaves out the steps before the "
       "erase"},
      {{"update", "--allow-older", "--legacy"},
       "option --allow-older means nothing with --legacy, which leaves out the steps before the "
       "erase"},
      {{"restore", "--image", "a.hex"}, "option --image applies to update and verify only"},
      {{"restore", "a.hex", "b.hex"}, "restore takes one file, found b.hex"},
      {{"update", "a.hex"}, "only one command may be given, found a.hex"},
      {{"--dry-run=yes", "update"}, "unknown option --dry-run=yes"},
      {{"history", "backups"}, "only one command may be given, found backups"},
      {{"--port", "COM1", "--port", "com2", "--port", "COM1", "update"},
       "port COM1 is given twice"},
      {{"--port", "all", "--port", "COM2", "read"}, "--port all can't be given with other ports"},
      {{"--port", "COM2", "--port=auto", "read"}, "--port auto can't be given with other ports"},
      {{"--port", "all", "history"},
       "several ports and --port all apply to update, restore, read, verify and version only"},
  };
  for (const auto& [args, expected] : cases) {
    std::string error;
    EXPECT_FALSE(parseCommandLine(args, error)) << expected;
    EXPECT_EQ(error, expected);
  }
}

TEST(CommandLineTest, PortNamesPickAnIndexAndPathsTakeTheFirstSlot) {
  const link::PortDevices platform = link::defaultPortDevices();
  struct Case {
    std::string port;
    int index;
    std::string firstDevice;
  };
  // Beyond COM4 a COM name is a port of its own on Windows, an index the link refuses elsewhere.
  const bool windows = !link::comPortBeyondTable(5).empty();
  const Case cases[] = {
      {"COM1", 0, platform[0]},
      {"com2", 1, platform[0]},
      {"Com4", 3, platform[0]},
      {"/dev/pts/7", 0, "/dev/pts/7"},
      {"COM", 0, "COM"},
      {"COM1x", 0, "COM1x"},
      {"com12", windows ? 0 : 11, windows ? "COM12" : platform[0]},
      {"COM0", windows ? 0 : -1, windows ? "COM0" : platform[0]},
      {"COM-1", windows ? 0 : -2, windows ? "COM-1" : platform[0]},
  };
  for (const Case& c : cases) {
    const PortChoice choice = choosePort(c.port);
    EXPECT_EQ(choice.portIndex, c.index) << c.port;
    EXPECT_EQ(choice.devices[0], c.firstDevice) << c.port;
    EXPECT_EQ(choice.devices[1], platform[1]) << c.port;
  }
}

TEST(ConsoleUiTest, ProgressLineFillsFiftyColumns) {
  EXPECT_EQ(progressLine("Writing", 100),
            "Writing | ################################################## | 100%");
  EXPECT_EQ(progressLine("Reading", 0),
            "Reading |                                                    | 0%");
  EXPECT_EQ(progressLine("Reading", 51),
            "Reading | #########################                          | 51%");
  EXPECT_EQ(progressLine("Writing", 42, 65, 90),
            "Writing | #####################                              | 42% 1:05, ~1:30 left");
  EXPECT_EQ(progressLine("Writing", 100, 3600),
            "Writing | ################################################## | 100% 60:00");
}

TEST(CommandLineTest, LatencyNoteAndAdviceGiveTheFigureAndWhatItCosts) {
  // 197381 replies of 16 ms and 592662 bytes at 3840 bytes/s; in blocks 1032 and 265756.
  EXPECT_EQ(boot::estimatedMs(boot::Operation::Update, false, 16), 3158096 + 154339);
  EXPECT_EQ(boot::estimatedMs(boot::Operation::Update, true, 16), 16512 + 69207);
  EXPECT_EQ(boot::latencyAdvice("COM5", 16, boot::Operation::Update),
            "The USB serial adapter COM5 holds each reply 16 ms (its latency timer), which makes "
            "byte-by-byte transfers slow: the update takes about 55 min; with fast transfers "
            "about 1.4 min. Switch to fast transfers?");
  EXPECT_EQ(boot::latencyAdvice("COM5", 2, boot::Operation::Update), std::nullopt);
  EXPECT_EQ(boot::roughDuration(40400), "about 40 s");
  EXPECT_EQ(boot::repliesOf(boot::Operation::Update, false), 197381);
  EXPECT_EQ(boot::repliesOf(boot::Operation::Update, true), 1032);
  EXPECT_EQ(boot::repliesOf(boot::Operation::Read, false), 65285);
  EXPECT_EQ(boot::repliesOf(boot::Operation::Version, true), 35);
  EXPECT_EQ(latencyNote("/dev/ttyUSB0", 16, boot::Operation::Update, false,
                        "As root, 'echo 1 > /sys/class/tty/ttyUSB0/device/latency_timer' sets "
                        "the timer to 1 ms."),
            "note: the USB serial adapter /dev/ttyUSB0 holds each reply 16 ms (its latency "
            "timer); over the 197381 replies of this operation that is about 53 min of "
            "waiting. --block needs 1032 replies. As root, 'echo 1 > "
            "/sys/class/tty/ttyUSB0/device/latency_timer' sets the timer to 1 ms.\n");
  EXPECT_EQ(latencyNote("/dev/ttyUSB1", 4, boot::Operation::Version, true, ""),
            "note: the USB serial adapter /dev/ttyUSB1 holds each reply 4 ms (its latency "
            "timer); over the 35 replies of this operation that is under 1 s of "
            "waiting.\n");
}

TEST(ConsoleUiTest, TextsFromTheUnitStayOnOneLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"AVRBOOT", "AVRBOOT"},
      {"AV\nR\rB\x1b"
       "O",
       "AV\\x0AR\\x0DB\\x1BO"},
      {std::string("x\0y", 3) + "\x7f\xfe", "x\\x00y\\x7F\xfe"},
  };
  for (const auto& [text, line] : cases)
    EXPECT_EQ(oneLine(text), line);
}

// The gate's question is refused on one line of standard error that names both versions and
// the option that lets the image through; a bar still open is ended first.
TEST(ConsoleUiTest, RefusesTheVersionGateNamingTheOptionThatAllowsIt) {
  struct Case {
    boot::VersionPair versions;
    boot::GateVerdict verdict;
    std::string line;
  };
  const Case cases[] = {
      {{"1.12", "1.10"},
       boot::GateVerdict::NeedsOlderYes,
       "the image is older than the unit's firmware (unit 1.12, image 1.10): nothing was "
       "changed; --allow-older programs it anyway\n"},
      {{"1.12", "1.12"},
       boot::GateVerdict::NeedsReinstallYes,
       "the image has the version of the unit's firmware (unit 1.12, image 1.12): nothing was "
       "changed; --allow-reinstall programs it again\n"},
      {{"2.0\n", std::nullopt},
       boot::GateVerdict::NeedsReinstallYes,
       "the image has the version of the unit's firmware (unit 2.0\\x0A, image NONE): nothing "
       "was changed; --allow-reinstall programs it again\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    {
      ConsoleUi ui(out, err, true);
      ui.setProgressRange(2);
      EXPECT_FALSE(ui.confirmVersion(c.versions, c.verdict));
    }
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str().substr(err.str().find('\n') + 1), c.line);
  }
}

// Each bar is labelled by what it does: an update or restore reads the unit before it writes
// unless it is legacy, then reads back; the statuses between them keep the order.
TEST(ConsoleUiTest, BarsAreLabelledByWhatTheyDo) {
  struct Case {
    const char* start;
    bool readsFirst;
    std::vector<std::string> statuses;  // after the start; "" starts a bar
    std::string labels;
  };
  const Case cases[] = {
      {boot::kProgrammingStatus,
       true,
       {"", "unit 1.12, image 1.13 (newer)", "Kept a copy of the unit: c.hex", "",
        "Verifying Data...", ""},
       "Reading Writing Reading"},
      {boot::kRestoringStatus,
       true,
       {"", "unit NONE, image 1.12 (unknown)", "", "Verifying Data...", ""},
       "Reading Writing Reading"},
      {boot::kProgrammingStatus, false, {"", "Verifying Data...", ""}, "Writing Reading"},
      {"Dry run: reading the unit...", true, {"", "unit 1.12, image 1.10 (older)"}, "Reading"},
      {"Reading App to quillread.hex...", false, {""}, "Reading"},
  };
  for (const Case& c : cases) {
    std::ostringstream out, err;
    {
      ConsoleUi ui(out, err, true);
      ui.describeOperation(boot::Operation::Update, false, c.readsFirst);
      ui.setStatus(c.start);
      for (const std::string& status : c.statuses) {
        if (status.empty()) {
          ui.setProgressRange(1);
          ui.setProgressPosition(1);
        } else {
          ui.setStatus(status);
        }
      }
    }
    // The label of each bar: what stands after the line start of its first draw.
    std::string labels;
    std::istringstream bars(err.str());
    for (std::string line; std::getline(bars, line);)
      labels += (labels.empty() ? "" : " ") + line.substr(1, line.find(" |") - 1);
    EXPECT_EQ(labels, c.labels) << c.start;
  }
}

// Drives a ConsoleUi the way an update does and returns what reached each stream.
struct Streams {
  std::string out;
  std::string err;
};
// The clock of the bar moves on by 10 s each time it is read.
Streams runUpdateLike(bool terminal, int steps) {
  std::ostringstream out, err;
  {
    ConsoleUi::Clock::time_point time{};
    ConsoleUi ui(out, err, terminal, [&time] { return time += std::chrono::seconds(10); });
    ui.setStatus(boot::kProgrammingStatus);
    ui.setProgressRange(steps);
    for (int step = 0; step <= steps; ++step)
      ui.setProgressPosition(step);
    ui.setStatus("Verifying Data...");
    ui.setProgressRange(steps);
    ui.setProgressPosition(0);
    ui.showMessage("failed to read all of memory, rc=-1");
    ui.setStatus("UPDATE FAILED!");
  }
  return {out.str(), err.str()};
}

TEST(ConsoleUiTest, TerminalGetsOneRedrawnBarPerPassEndedBeforeTheNextLine) {
  const Streams s = runUpdateLike(true, 4);
  EXPECT_EQ(s.out, "Programming QUILLmar Application...\nVerifying Data...\nUPDATE FAILED!\n");
  // Each draw reads the clock: 10 s after the range for step 0, 20 s for step 0 again, then
  // 30 s for step 1 (~1:30 left for the other three), ...; the bar that ends is padded over
  // the longer line before it.
  EXPECT_EQ(s.err, "\r" + progressLine("Writing", 0, 10) + "\r" + progressLine("Writing", 0, 20) +
                       "\r" + progressLine("Writing", 25, 30, 90) + "\r" +
                       progressLine("Writing", 50, 40, 40) + "\r" +
                       progressLine("Writing", 75, 50, 16) + "\r" +
                       progressLine("Writing", 100, 60) + std::string(11, ' ') + "\n\r" +
                       progressLine("Reading", 0, 10) + "\r" + progressLine("Reading", 0, 20) +
                       "\nfailed to read all of memory, rc=-1\n");
}

TEST(ConsoleUiTest, ImageShorterThanAPageCompletesItsBar) {
  const Streams s = runUpdateLike(true, 0);
  EXPECT_EQ(s.err.substr(0, s.err.find('\n')),
            "\r" + progressLine("Writing", 0, 10) + "\r" + progressLine("Writing", 100, 20));
}

}  // namespace
}  // namespace quillmar::cli
