// quillmar-update with several ports against simulated units on their own pseudo-terminals: the
// units run at once, each line says its port, a failed unit is found in the table, --port all
// takes the units that answer, a read saves a file per port, --json gives one record per unit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "batch/unit_batch.h"
#include "cli/command_line.h"
#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

constexpr int kImageBytes = 3000;

// Simulated units with the given faults, a program folder holding the image, and the user's
// data folder set to one of its own for as long as it lives.
class Units {
 public:
  explicit Units(const std::vector<bootsim::Faults>& faults) {
    writeImageFile(folder.path() / "quillmar.hex", patternImage(kImageBytes, 5));
    const char* old = std::getenv("XDG_DATA_HOME");
    oldData_ = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("XDG_DATA_HOME", (folder.path() / "data").c_str(), 1);
    for (const bootsim::Faults& fault : faults) {
      sims.push_back(std::make_unique<bootsim::BootSimulator>(fault));
      EXPECT_EQ(sims.back()->start(), "");
    }
  }
  ~Units() {
    if (oldData_)
      ::setenv("XDG_DATA_HOME", oldData_->c_str(), 1);
    else
      ::unsetenv("XDG_DATA_HOME");
  }

  // quillmar-update with `args` after a --port for each unit, or with a listing of the units'
  // devices for --port all; the units stop when it ends.
  int run(std::vector<std::string> args, bool portsGiven = true) {
    std::vector<std::string> line = {"--folder", folder.str()};
    std::vector<link::SerialPortInfo> listing;
    for (auto& sim : sims) {
      if (portsGiven)
        line.insert(line.end(), {"--port", sim->devicePath()});
      listing.push_back({sim->devicePath(), "pseudo-terminal", "", true, "", "",
                         "SN" + std::to_string(listing.size())});
    }
    line.insert(line.end(), args.begin(), args.end());
    const int status = cli::runCommandLine(
        line, out, err, false, [&] { return listing; }, kTestReplyTimeoutMs, kTestReplyTimeoutMs);
    for (auto& sim : sims)
      sim->stop();
    return status;
  }

  std::string label(std::size_t unit) const { return batch::portLabel(sims[unit]->devicePath()); }
  bool holdsImage(std::size_t unit) {
    const std::vector<uint8_t> image = patternImage(kImageBytes, 5);
    return std::equal(image.begin(), image.end(), sims[unit]->loader().flash().bytes().begin());
  }
  std::size_t historyLines() const {
    int skipped = 0;
    return boot::readHistory((folder.path() / "data" / "quillmar").string(), skipped).size();
  }

  TempFolder folder;
  std::vector<std::unique_ptr<bootsim::BootSimulator>> sims;
  std::ostringstream out, err;

 private:
  std::optional<std::string> oldData_;
};

// Each line of `text` that starts with `prefix`.
std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) == 0)
      lines.push_back(line);
  }
  return lines;
}

// Four units, the third goes silent in the middle of its write: the other three are updated
// and verified, the exit status is 1, and the table's row of the silent unit says it failed.
TEST(BatchCommandTest, FourUnitsOneSilentThreeUpdated) {
  bootsim::Faults silent;
  silent.silentAfter = kImageBytes;  // half-way through the write
  Units units({{}, {}, silent, {}});
  EXPECT_EQ(units.run({"--no-backup", "update"}), 1);
  for (std::size_t unit = 0; unit < 4; ++unit) {
    SCOPED_TRACE(unit);
    const bool healthy = unit != 2;
    EXPECT_EQ(units.holdsImage(unit), healthy);
    const std::vector<std::string> statuses =
        linesStartingWith(units.out.str(), units.label(unit) + ": ");
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front(), units.label(unit) + ": Programming QUILLmar Application...");
    EXPECT_EQ(statuses.back(),
              units.label(unit) + (healthy ? ": QUILLmar Updated!" : ": UPDATE FAILED!"));
    const std::vector<std::string> row =
        linesStartingWith(units.out.str(), units.label(unit) + " ");
    ASSERT_EQ(row.size(), 1u);
    EXPECT_NE(row[0].find("SN" + std::to_string(unit)), std::string::npos);
    EXPECT_NE(row[0].find(healthy ? "  ok" : "  FAILED: error -1 writing device"),
              std::string::npos)
        << row[0];
  }
  EXPECT_EQ(
      linesStartingWith(units.err.str(), units.label(2) + ": avr write byte failed at ").size(),
      1u);
  EXPECT_EQ(linesStartingWith(units.out.str(), "3 of 4 units updated").size(), 1u);
  EXPECT_EQ(units.historyLines(), 4u);
}

// --port all asks every listed port at once: a held port and one that answers something else
// are skipped and named, the two boot loaders run.
TEST(BatchCommandTest, AllPortsTakesTheUnitsThatAnswer) {
  bootsim::Faults stranger;
  stranger.identifier = "XYZ";
  bootsim::Faults mute;
  mute.silentAfter = 0;
  Units units({{}, stranger, {}, mute, {}});
  link::SerialLink holder({units.sims[0]->devicePath(), "", "", ""});
  ASSERT_EQ(holder.open(0, link::kLinkBaudRate), "");
  EXPECT_EQ(units.run({"--port", "all", "version"}, false), 1);  // no unit holds a version
  holder.close();
  const std::string& err = units.err.str();
  EXPECT_NE(err.find("--port all: skipped " + units.sims[0]->devicePath() +
                     ": in use by another program"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("--port all: skipped " + units.sims[1]->devicePath() + ": answered \"XYZ"),
            std::string::npos);
  EXPECT_NE(err.find("--port all: skipped " + units.sims[3]->devicePath() + ": no answer"),
            std::string::npos);
  EXPECT_NE(err.find("--port all: the boot loader answers on " + units.sims[2]->devicePath() +
                     ", " + units.sims[4]->devicePath() + "\n"),
            std::string::npos);
  EXPECT_EQ(units.sims[0]->loader().bytesReceived(), 0u);
  for (std::size_t unit : {2u, 4u})
    EXPECT_EQ(
        linesStartingWith(units.out.str(), units.label(unit) + ": QUILLmar Version NONE").size(),
        1u);
  EXPECT_EQ(linesStartingWith(units.out.str(), "0 of 2 units answered").size(), 1u);
}

// A read of two units with --json into a folder: a file per port, standard output one array
// with a record per unit, and each record in the history.
TEST(BatchCommandTest, ReadWithJsonGivesAFileAndARecordPerUnit) {
  Units units({{}, {}});
  const std::string reads = (units.folder.path() / "reads").string() + "/";
  EXPECT_EQ(units.run({"--json", "--output", reads, "read"}), 0);
  const std::string& out = units.out.str();
  EXPECT_EQ(out.front(), '[');
  EXPECT_EQ(out.substr(out.size() - 2), "]\n");
  for (std::size_t unit = 0; unit < 2; ++unit) {
    const std::string file = reads + "quillread-" + units.label(unit) + ".hex";
    EXPECT_TRUE(fs::exists(file)) << file;
    EXPECT_NE(out.find("\"image\": \"" + file + "\""), std::string::npos) << out;
    EXPECT_EQ(linesStartingWith(units.err.str(), units.label(unit) + ": Read Completed!").size(),
              1u);
  }
  EXPECT_EQ(units.historyLines(), 2u);
}

}  // namespace
}  // namespace quillmar::testing
