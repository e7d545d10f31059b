// The "Several units" window's model without a toolkit: its rows follow the port list, keeping
// what the user ticked and what the last run found; runs on simulated units end in one row each,
// a silent unit failing alone and the summary counting; a refused image starts nothing; a stop
// marks the stopped units.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "boot/kept_copies.h"
#include "tests/simulated_unit.h"
#include "ui/common/several_units.h"

namespace quillmar::testing {
namespace {

using boot::Operation;
using ui::UnitState;

// A port as the fake port list gives it.
boot::SerialPortInfo port(const std::string& device, bool usb) {
  return {device, usb ? "USB UART" : "built-in", "", usb, "", "", usb ? "A5" + device : ""};
}

std::vector<std::string> devices(const std::vector<ui::UnitRow>& rows) {
  std::vector<std::string> names;
  for (const ui::UnitRow& row : rows)
    names.push_back(row.device);
  return names;
}

// Adapters come and go between two readings of the list: ports still present keep their tick
// and their last outcome, new adapters come ticked, other new ports unticked, gone ports go.
TEST(SeveralUnitsTest, RowsFollowThePortList) {
  struct Step {
    const char* name;
    std::vector<boot::SerialPortInfo> listed;
    std::vector<std::string> untick;  // the user unticks these afterwards
    bool changed;
    std::vector<std::string> ticked;  // the devices ticked after the reading
  };
  const std::vector<Step> steps = {
      {"start",
       {port("/dev/ttyUSB0", true), port("/dev/ttyS0", false)},
       {"/dev/ttyUSB0"},
       true,
       {}},
      {"same again", {port("/dev/ttyUSB0", true), port("/dev/ttyS0", false)}, {}, false, {}},
      {"one plugged in",
       {port("/dev/ttyUSB0", true), port("/dev/ttyUSB1", true), port("/dev/ttyS0", false)},
       {},
       true,
       {"/dev/ttyUSB1"}},
      {"the first pulled out",
       {port("/dev/ttyUSB1", true), port("/dev/ttyS0", false)},
       {},
       true,
       {"/dev/ttyUSB1"}},
      {"plugged in again",
       {port("/dev/ttyUSB0", true), port("/dev/ttyUSB1", true)},
       {},
       true,
       {"/dev/ttyUSB0", "/dev/ttyUSB1"}},
  };
  std::size_t at = 0;
  ui::DialogSettings settings;
  settings.listPorts = [&] { return steps[at].listed; };
  std::ostringstream diag;
  ui::SeveralUnits model(settings, diag);
  for (at = 0; at < steps.size(); ++at) {
    const Step& step = steps[at];
    SCOPED_TRACE(step.name);
    EXPECT_EQ(at == 0 || model.readPorts(), step.changed);
    std::vector<ui::UnitRow> rows = model.rows();
    std::vector<std::string> listed;
    for (const boot::SerialPortInfo& info : step.listed)
      listed.push_back(info.name);
    ASSERT_EQ(devices(rows), listed);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].name, batch::portLabel(rows[i].device));
      EXPECT_EQ(rows[i].usbSerial, step.listed[i].serialNumber);
      if (std::ranges::count(step.untick, rows[i].device) != 0)
        model.tick(i, false);
    }
    std::vector<std::string> ticked;
    for (const ui::UnitRow& row : model.rows()) {
      if (row.ticked && std::ranges::count(step.untick, row.device) == 0)
        ticked.push_back(row.device);
    }
    EXPECT_EQ(ticked, step.ticked);
  }

  // A port given on the command line that the list lacks comes last, ticked; one it has, once.
  at = steps.size() - 1;
  settings.givenPorts = {"/dev/pts/9", "/dev/ttyUSB1"};
  ui::SeveralUnits given(settings, diag);
  const std::vector<ui::UnitRow> rows = given.rows();
  ASSERT_EQ(devices(rows),
            (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/pts/9"}));
  EXPECT_TRUE(rows[2].ticked);
  EXPECT_EQ(rows[2].description, "given on the command line");
}

constexpr int kImageBytes = 4096;

// Simulated units on pseudo-terminals as the computer's ports, and the model over them.
class Bench {
 public:
  // Units with `faults`, each holding `unitVersion` when given, and an image of
  // `imageVersion` when given.
  explicit Bench(const std::vector<bootsim::Faults>& faults, const std::string& unitVersion = "",
                 const std::string& imageVersion = "") {
    for (const bootsim::Faults& fault : faults) {
      units.push_back(std::make_unique<bootsim::BootSimulator>(fault));
      if (!unitVersion.empty())
        std::ranges::copy("CVersion " + unitVersion,
                          units.back()->loader().flash().bytes().begin());
      EXPECT_EQ(units.back()->start(), "");
      listed.push_back(port(units.back()->devicePath(), true));
    }
    std::vector<uint8_t> image = patternImage(kImageBytes, 3);
    if (!imageVersion.empty())
      std::ranges::copy("CVersion " + imageVersion, image.begin());
    writeImage(image);
    settings.programFolder = folder.str();
    settings.replyTimeoutMs = kTestReplyTimeoutMs;
    settings.safety.dataFolder = (folder.path() / "data").string();
    settings.listPorts = [this] { return listed; };
    model = std::make_unique<ui::SeveralUnits>(settings, diag);
    model->onRowChanged([this](std::size_t row) {
      const std::lock_guard<std::mutex> lock(mutex);
      ++changes[row];
      if (stopAt && row == 0 && model->row(0).status == boot::kProgrammingStatus)
        model->stop();
    });
    model->onRunEnded([this] {
      const std::lock_guard<std::mutex> lock(mutex);
      ended = true;
      endedOnAnotherThread = std::this_thread::get_id() != viewThread;
      done.notify_all();
    });
  }

  // quillmar.hex in the folder, with `bytes`.
  void writeImage(std::vector<uint8_t> bytes) {
    writeImageFile(folder.path() / "quillmar.hex", std::move(bytes));
  }

  // Starts `operation` and waits for its end; the message start() gave instead, if any.
  std::optional<std::string> run(Operation operation) {
    ended = false;
    const boot::OperationFiles files{boot::imageFileIn(folder.str()),
                                     boot::readbackFileIn(folder.str())};
    std::optional<std::string> refused = model->start(operation, files, {false, false});
    if (refused)
      return refused;
    std::unique_lock<std::mutex> lock(mutex);
    EXPECT_TRUE(done.wait_for(lock, std::chrono::minutes(2), [this] { return ended; }));
    EXPECT_FALSE(model->running());
    return std::nullopt;
  }

  // Ends the serving, so the flashes show their final contents.
  void stopUnits() {
    for (auto& unit : units)
      unit->stop();
  }

  bool holdsImage(std::size_t i) {
    const std::vector<uint8_t> image = patternImage(kImageBytes, 3);
    return std::equal(image.begin(), image.end(), units[i]->loader().flash().bytes().begin());
  }

  TempFolder folder;
  std::vector<std::unique_ptr<bootsim::BootSimulator>> units;
  std::vector<boot::SerialPortInfo> listed;
  ui::DialogSettings settings;
  std::ostringstream diag;
  std::unique_ptr<ui::SeveralUnits> model;
  std::mutex mutex;
  std::condition_variable done;
  bool ended = false;
  bool endedOnAnotherThread = false;
  bool stopAt = false;                 // stop the run once unit 0 is programming
  std::map<std::size_t, int> changes;  // row changes told, by row
  const std::thread::id viewThread = std::this_thread::get_id();
};

// One run on simulated units: which are ticked, how each ends, the row's status and outcome,
// and the summary.
struct RunCase {
  const char* name;
  Operation operation;
  std::vector<bootsim::Faults> faults;
  std::vector<bool> ticked;
  std::vector<UnitState> states;
  std::vector<std::string> statuses;
  std::vector<std::string> outcomes;  // each row's outcome starts so
  std::string summary;
  std::string unitVersion = "";  // the units' firmware version ("": none)
  std::string imageVersion = "";
  bool stop = false;
};

bootsim::Faults silent() {
  bootsim::Faults faults;
  faults.silentAfter = 6000;  // inside the write, after the versions' reads
  return faults;
}

class SeveralUnitsRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(SeveralUnitsRunTest, EachRowEndsOnItsOwn) {
  const RunCase& param = GetParam();
  Bench bench(param.faults, param.unitVersion, param.imageVersion);
  bench.stopAt = param.stop;
  for (std::size_t i = 0; i < param.ticked.size(); ++i)
    bench.model->tick(i, param.ticked[i]);
  ASSERT_EQ(bench.run(param.operation), std::nullopt);
  bench.stopUnits();

  EXPECT_TRUE(bench.endedOnAnotherThread);
  EXPECT_EQ(bench.model->summary(), param.summary);
  const std::vector<ui::UnitRow> rows = bench.model->rows();
  ASSERT_EQ(rows.size(), param.states.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].state, param.states[i]);
    EXPECT_EQ(ui::marked(rows[i]),
              param.states[i] == UnitState::Failed || param.states[i] == UnitState::Stopped);
    EXPECT_EQ(rows[i].status, param.statuses[i]);
    EXPECT_TRUE(rows[i].outcome.starts_with(param.outcomes[i])) << rows[i].outcome;
    const bool ticked = param.ticked.empty() || param.ticked[i];
    EXPECT_EQ(bench.changes[i] > 0, ticked) << "row changes told";
    if (!ticked) {
      EXPECT_EQ(bench.units[i]->loader().bytesReceived(), 0u) << "an unticked unit heard bytes";
    }
    if (param.operation == Operation::Update) {
      EXPECT_EQ(bench.holdsImage(i), param.states[i] == UnitState::Succeeded);
    }
    if (param.operation == Operation::Read && ticked) {
      EXPECT_TRUE(
          std::filesystem::exists(bench.folder.path() / ("quillread-" + rows[i].name + ".hex")));
    }
  }
}

const std::string kFailedWrite = "FAILED: avr write byte failed at ";

INSTANTIATE_TEST_SUITE_P(
    Runs, SeveralUnitsRunTest,
    ::testing::Values(RunCase{"BothUpdated",
                              Operation::Update,
                              {{}, {}},
                              {},
                              {UnitState::Succeeded, UnitState::Succeeded},
                              {"QUILLmar Updated!", "QUILLmar Updated!"},
                              {"OK, NONE -> NONE", "OK, NONE"},
                              "2 of 2 units updated"},
                      RunCase{"SilentFailsAlone",
                              Operation::Update,
                              {{}, silent(), {}},
                              {},
                              {UnitState::Succeeded, UnitState::Failed, UnitState::Succeeded},
                              {"QUILLmar Updated!", "UPDATE FAILED!", "QUILLmar Updated!"},
                              {"OK", kFailedWrite, "OK"},
                              "2 of 3 units updated"},
                      RunCase{"UntickedStaysOut",
                              Operation::Update,
                              {{}, {}},
                              {false, true},
                              {UnitState::Idle, UnitState::Succeeded},
                              {"", "QUILLmar Updated!"},
                              {"", "OK"},
                              "1 of 1 unit updated"},
                      RunCase{"ReadsOneFileEach",
                              Operation::Read,
                              {{}, {}},
                              {},
                              {UnitState::Succeeded, UnitState::Succeeded},
                              {"Read Completed!", "Read Completed!"},
                              {"OK, quillread-", "OK, quillread-"},
                              "2 of 2 units read"},
                      RunCase{"NewerUnitRefused",
                              Operation::Update,
                              {{}},
                              {},
                              {UnitState::Failed},
                              {boot::kRefusedStatus},
                              {"Not updated: unit 1.12, image 1.10 (older)"},
                              "0 of 1 unit updated",
                              "1.12",
                              "1.10"},
                      RunCase{"StoppedWhileProgramming",
                              Operation::Update,
                              {{}, {}},
                              {},
                              {UnitState::Stopped, UnitState::Stopped},
                              {"UPDATE FAILED!", "UPDATE FAILED!"},
                              {"Stopped: left as after a failed update", "Stopped"},
                              "0 of 2 units updated",
                              "",
                              "",
                              true}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return info.param.name; });

// What keeps a run from starting: no port ticked, or an image that must not be programmed. Either
// is said at once, no unit hears a byte, and the rows keep what the last run found.
TEST(SeveralUnitsTest, NothingStartsWithoutTicksOrWithABadImage) {
  Bench bench({{}, silent()});
  ASSERT_EQ(bench.run(Operation::Update), std::nullopt);
  ASSERT_EQ(bench.model->row(1).state, UnitState::Failed);

  bench.model->tick(0, false);
  bench.model->tick(1, false);
  EXPECT_EQ(bench.run(Operation::Update), ui::kNothingTicked);
  bench.model->tick(0, true);
  std::ofstream(bench.folder.path() / "quillmar.hex") << "hello\n";
  const std::optional<std::string> refused = bench.run(Operation::Update);
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->find("is not an Intel HEX file"), std::string::npos) << *refused;
  EXPECT_EQ(bench.model->row(1).state, UnitState::Failed) << "the failed row lost its mark";
  EXPECT_EQ(bench.model->summary(), "1 of 2 units updated");

  EXPECT_EQ(bench.model->row(0).state, UnitState::Succeeded) << "a refused run reset the rows";

  // The next run clears every mark, the rows it leaves out included.
  ASSERT_EQ(bench.run(Operation::Read), std::nullopt);
  bench.stopUnits();
  EXPECT_EQ(bench.model->row(0).state, UnitState::Succeeded);
  EXPECT_EQ(bench.model->row(1).state, UnitState::Idle);
  EXPECT_EQ(bench.model->row(1).outcome, "");
  EXPECT_EQ(bench.model->summary(), "1 of 1 unit read");
}

// Restore gives each unit its own newest kept copy, named in the question first; a ticked unit
// without one keeps the restore from starting, and the message names it.
TEST(SeveralUnitsTest, RestoreGivesEachUnitItsOwnCopy) {
  Bench bench(std::vector<bootsim::Faults>(3));
  const std::string backups = boot::backupsFolder(bench.settings.safety.dataFolder);
  std::filesystem::create_directories(backups);
  std::tm when{};
  when.tm_year = 126;
  for (int day = 1; day <= 2; ++day) {  // the second day's copies are the newest
    when.tm_mday = day;
    for (std::size_t unit = 0; unit < 2; ++unit) {
      const std::string device = bench.units[unit]->devicePath();
      writeImageFile(
          fs::path(backups) / boot::keptCopyName(when, device, "1.0" + std::to_string(day)),
          patternImage(1000 + 100 * day, static_cast<int>(10 * unit + day)));
    }
  }
  const std::string third = bench.model->row(2).name;
  ui::SeveralUnits::RestoreCheck check = bench.model->restoreCheck();
  EXPECT_FALSE(check.ready);
  EXPECT_EQ(check.text, "No kept copy of " + third + " in " + backups + ": nothing to restore.");
  EXPECT_EQ(bench.run(Operation::Restore), check.text);

  bench.model->tick(2, false);
  check = bench.model->restoreCheck();
  ASSERT_TRUE(check.ready) << check.text;
  EXPECT_TRUE(check.text.starts_with("Program each ticked unit with its own newest kept copy?\n" +
                                     bench.model->row(0).name + ": 2026-01-02 "))
      << check.text;
  ASSERT_EQ(bench.run(Operation::Restore), std::nullopt);
  bench.stopUnits();
  EXPECT_EQ(bench.model->summary(), "2 of 2 units restored");
  for (std::size_t unit = 0; unit < 2; ++unit) {
    SCOPED_TRACE(unit);
    const std::vector<uint8_t> own = patternImage(1200, static_cast<int>(10 * unit + 2));
    EXPECT_TRUE(
        std::equal(own.begin(), own.end(), bench.units[unit]->loader().flash().bytes().begin()));
  }
  EXPECT_EQ(bench.model->row(2).state, UnitState::Idle);
}

}  // namespace
}  // namespace quillmar::testing
