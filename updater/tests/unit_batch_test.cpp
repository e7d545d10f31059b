// UnitBatch against simulated units: a bad image stops all of them before a byte goes out, a
// stop leaves the erased unit as a failed update does; and the names of the per-port read
// files. The units' run side by side is tested through the command line (batch_command_test).
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "batch/unit_batch.h"
#include "boot/kept_copies.h"
#include "tests/simulated_unit.h"

namespace quillmar::testing {
namespace {

using boot::Operation;

constexpr int kImageBytes = 4096;

// Simulated units, one a port, and a batch plan over them with the image in a folder of its own.
class Bench {
 public:
  explicit Bench(const std::vector<bootsim::Faults>& faults) {
    writeImageFile(folder.path() / "quillmar.hex", patternImage(kImageBytes, 3));
    for (const bootsim::Faults& fault : faults) {
      units.push_back(std::make_unique<bootsim::BootSimulator>(fault));
      EXPECT_EQ(units.back()->start(), "");
      plan.ports.push_back({units.back()->devicePath(), ""});
    }
    plan.image = boot::imageFileIn(folder.str());
    plan.folder = folder.str();
    plan.replyTimeoutMs = kTestReplyTimeoutMs;
    plan.safety.keepCopy = false;
    plan.safety.dataFolder = (folder.path() / "data").string();
    uis.resize(faults.size());
  }

  TempFolder folder;
  std::vector<std::unique_ptr<bootsim::BootSimulator>> units;
  batch::BatchPlan plan;
  std::deque<RecordingUi> uis;
  std::ostringstream diag;
  batch::UnitBatch* running = nullptr;
};

// An image that must not be programmed stops the batch in prepare(): no unit hears a byte, and
// the refusal is the message one update would show.
TEST(UnitBatchTest, ABadImageStopsTheBatchBeforeAnyPortOpens) {
  struct Case {
    const char* name;
    std::string contents;  // of quillmar.hex; "-" for no file at all
    std::string refusal;   // the start of prepare()'s message
  };
  const Case cases[] = {
      {"not Intel HEX", "hello\n", "\"%f\" is not an Intel HEX file: line 1"},
      {"no data", ":00000001FF\n", "\"%f\" holds no data records: there is nothing to program"},
      {"no end record", ":0100000000FF\n", "\"%f\" has no end-of-file record"},
      {"missing", "-", "file read error code -1 terminating\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench({{}, {}});
    const std::string path = (bench.folder.path() / "quillmar.hex").string();
    std::filesystem::remove(path);
    if (c.contents != "-")
      std::ofstream(path) << c.contents;
    std::string refusal = c.refusal;
    if (const std::size_t at = refusal.find("%f"); at != std::string::npos)
      refusal.replace(at, 2, path);
    batch::UnitBatch batch(bench.plan, bench.diag);
    const std::optional<std::string> refused = batch.prepare();
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->substr(0, refusal.size()), refusal);
    EXPECT_TRUE(
        batch.run([&](std::size_t unit) -> boot::OperationUi& { return bench.uis[unit]; }).empty());
    for (auto& unit : bench.units) {
      unit->stop();
      EXPECT_EQ(unit->loader().bytesReceived(), 0u);
    }
  }
}

// A unit's interface that asks the batch to stop once the write has gone `at` pages far.
class StoppingUi : public RecordingUi {
 public:
  StoppingUi(Bench& bench, int at) : bench_(bench), at_(at) {}
  void setProgressPosition(int step) override {
    RecordingUi::setProgressPosition(step);
    if (step == at_ && writing_)
      bench_.running->stop();
  }
  void setStatus(const std::string& text) override {
    RecordingUi::setStatus(text);
    writing_ = text.rfind("Kept a copy", 0) == 0;
  }

 private:
  Bench& bench_;
  int at_;
  bool writing_ = false;
};

// Stopped in the middle of the write, a unit fails as on a broken line: erased, with the note
// naming the copy kept before the erase, and marked stopped.
TEST(UnitBatchTest, AStoppedUnitIsLeftAsAFailedUpdateLeavesIt) {
  Bench bench(std::vector<bootsim::Faults>(1));
  bench.plan.safety.keepCopy = true;
  std::fill_n(bench.units[0]->loader().flash().bytes().begin(), 512, 0x42);
  batch::UnitBatch batch(bench.plan, bench.diag);
  bench.running = &batch;
  StoppingUi ui(bench, 4);
  const std::vector<batch::UnitResult> results =
      batch.run([&](std::size_t) -> boot::OperationUi& { return ui; });
  bench.units[0]->stop();
  ASSERT_EQ(results.size(), 1u);
  EXPECT_TRUE(results[0].stopped);
  EXPECT_EQ(results[0].exitStatus, 1);
  EXPECT_EQ(ui.statuses.back(), "UPDATE FAILED!");
  const std::vector<boot::KeptCopy> copies =
      boot::listKeptCopies(boot::backupsFolder(bench.plan.safety.dataFolder));
  ASSERT_EQ(copies.size(), 1u);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_NE(ui.messages.back().find("restore the copy kept before the erase: " + copies[0].path),
            std::string::npos);
  EXPECT_NE(batch::batchTable(results).find("STOPPED"), std::string::npos);
}

// Read's file per port: the label goes before the extension of the file's own name, and a
// folder given with a trailing separator gets quillread-LABEL.hex.
TEST(UnitBatchTest, EachPortReadsIntoAFileOfItsOwn) {
  struct Case {
    std::string output, folder, device, path;
    int format;
  };
  const Case cases[] = {
      {"", "/opt/q", "/dev/ttyUSB0", "/opt/q/quillread-ttyUSB0.hex", image::IntelHex},
      {"out.hex", "", "COM5", "out-COM5.hex", image::IntelHex},
      {"saved/unit.bin", "", "/dev/ttyACM1", "saved/unit-ttyACM1.bin", image::RawBinary},
      {"a.b/unit", "", "/dev/ttyS0", "a.b/unit-ttyS0", image::IntelHex},
      {"reads/", "", "\\\\.\\COM12", "reads/quillread-COM12.hex", image::IntelHex},
      {"", "/tmp", "/dev/pts/3", "/tmp/quillread-pts-3.hex", image::IntelHex},
      {"D:\\reads\\", "", "COM3", "D:\\reads\\quillread-COM3.hex", image::IntelHex},
      {".hex", "", "COM3", ".hex-COM3", image::IntelHex},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output + " " + c.device);
    const boot::ImageFile file = batch::readbackFor(c.output, c.folder, c.device);
    EXPECT_EQ(file.path, c.path);
    EXPECT_EQ(file.format, c.format);
  }
}

}  // namespace
}  // namespace quillmar::testing
