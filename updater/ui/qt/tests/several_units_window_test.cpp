// The "Several units" window on the offscreen platform, opened from the main dialog over
// simulated units on pseudo-terminals: every ticked unit updated at once, a silent one failing
// in its own row without a message box, an adapter plugged in while the window is open, and
// Cancel asking before it stops a run. Each window is rendered to a PNG for people to see.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "bootsim/boot_simulator.h"
#include "image/fileio.h"
#include "ui/qt/dialog_template.h"
#include "ui/qt/several_units_window.h"
#include "ui/qt/tests/modal_responder.h"
#include "ui/qt/tests/qt_test_support.h"
#include "ui/qt/updater_dialog.h"

namespace quillmar::ui {
namespace {

using testing::ModalResponder;
using testing::render;
using testing::waitUntil;

constexpr int kImageBytes = 4096;
// Short enough that a silent unit costs little, long enough for a loaded machine.
constexpr uint16_t kReplyTimeoutMs = 500;

// The image the units get.
std::vector<uint8_t> image() {
  std::vector<uint8_t> bytes(kImageBytes);
  for (int i = 0; i < kImageBytes; ++i)
    bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  return bytes;
}

// Simulated units behind USB adapters, the main dialog over them (its start-up help closed) and
// the "Several units" window opened from it.
class SeveralUnitsWindowTest : public ::testing::Test {
 protected:
  // Starts a unit for each of `faults`, on lines of `line`'s speed, and opens both windows.
  void open(const std::vector<bootsim::Faults>& faults, bootsim::LineTiming line = {}) {
    std::vector<uint8_t> bytes = image();
    std::ostringstream diag;
    ASSERT_EQ(image::fileio(image::Output, folder_.filePath("quillmar.hex").toStdString(),
                            image::IntelHex, bytes.data(), kImageBytes, diag),
              kImageBytes);
    for (const bootsim::Faults& fault : faults) {
      units_.push_back(
          std::make_unique<bootsim::BootSimulator>(fault, bootsim::ServeLimits{}, line));
      ASSERT_EQ(units_.back()->start(), "");
      listed_.push_back({units_.back()->devicePath(), "Simulated unit", "", true, "0403", "6001",
                         "SIM" + std::to_string(listed_.size())});
    }
    DialogSettings settings;
    settings.ports = {boot::ComPort{"/nonexistent/com1", "com1"},
                      boot::ComPort{"/nonexistent/com2", "com2"}};
    settings.programFolder = folder_.path().toStdString();
    settings.replyTimeoutMs = kReplyTimeoutMs;
    settings.safety.dataFolder = data_.path().toStdString();
    settings.safety.keepCopy = false;  // a copy's read of the whole unit would only add time
    settings.listPorts = [this] {
      const std::lock_guard<std::mutex> lock(listMutex_);
      return listed_;
    };
    settings.latencyOf = [](const std::string&) { return std::optional<int>(); };
    dialog_ = std::make_unique<UpdaterDialog>(settings);
    dialog_->show();
    ASSERT_TRUE(waitUntil([&] { return !responder_.seen.empty(); }));  // the help
    responder_.seen.clear();
    QTest::mouseClick(control<QPushButton>(*dialog_, kIdSeveralUnits), Qt::LeftButton);
    window_ = dynamic_cast<SeveralUnitsWindow*>(dialog_->severalUnits());
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
  }

  // Presses `id` in the window and waits until the run it started has ended.
  void runAndWait(int id) {
    QTest::mouseClick(control<QPushButton>(*window_, id), Qt::LeftButton);
    ASSERT_TRUE(window_->running());
    ASSERT_TRUE(waitUntil([&] { return !window_->running() && !summary().empty(); }, 120000));
  }

  // A control of row `row`.
  template <class W>
  W& rowControl(int id, std::size_t row) const {
    return *window_->findChild<W*>(controlName(unitRowControlId(id, row)));
  }
  std::string rowText(int id, std::size_t row) const {
    const QLabel& label = rowControl<QLabel>(id, row);
    return (label.toolTip().isEmpty() ? label.text() : label.toolTip()).toStdString();
  }
  // Whether row `row` is marked: its outcome in another colour than the window's text.
  bool markedRow(std::size_t row) const {
    return rowControl<QLabel>(kIdRowOutcome, row).palette().color(QPalette::WindowText) !=
           window_->palette().color(QPalette::WindowText);
  }
  std::string summary() const {
    return control<QLabel>(*window_, kIdSummary)->text().toStdString();
  }
  bool holdsImage(std::size_t unit) {
    const std::vector<uint8_t> bytes = image();
    return std::equal(bytes.begin(), bytes.end(), units_[unit]->loader().flash().bytes().begin());
  }

  QTemporaryDir folder_;
  QTemporaryDir data_;
  std::mutex listMutex_;
  std::vector<link::SerialPortInfo> listed_;
  std::vector<std::unique_ptr<bootsim::BootSimulator>> units_;
  ModalResponder responder_;
  std::unique_ptr<UpdaterDialog> dialog_;
  SeveralUnitsWindow* window_ = nullptr;  // owned by dialog_
};

// One Update on every unit: how each row ends and what the summary says.
struct UpdateCase {
  const char* name;
  std::vector<bootsim::Faults> faults;
  std::vector<std::string> statuses;
  std::vector<bool> marked;
  std::string summary;
};

class SeveralUnitsUpdateTest : public SeveralUnitsWindowTest,
                               public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(SeveralUnitsUpdateTest, EveryTickedUnitRunsAtOnce) {
  const UpdateCase& param = GetParam();
  open(param.faults);
  EXPECT_TRUE(dialog_->operationRunning()) << "the main dialog takes input beside the window";
  for (std::size_t row = 0; row < param.faults.size(); ++row) {
    QCheckBox& tick = rowControl<QCheckBox>(kIdRowTick, row);
    EXPECT_TRUE(tick.isChecked()) << "a USB adapter starts unticked";
    EXPECT_EQ(tick.text().toStdString(), batch::portLabel(units_[row]->devicePath()));
    EXPECT_EQ(rowText(kIdRowDescription, row), "Simulated unit (SIM" + std::to_string(row) + ")");
  }
  runAndWait(kIdOk);
  render(*window_, QStringLiteral("several-units-") + param.name);
  for (auto& unit : units_)
    unit->stop();

  EXPECT_EQ(responder_.seen.size(), 0u) << "a box came up: " << responder_.seen[0].text;
  EXPECT_EQ(summary(), param.summary);
  for (std::size_t row = 0; row < param.faults.size(); ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(rowText(kIdRowStatus, row), param.statuses[row]);
    EXPECT_EQ(markedRow(row), param.marked[row]);
    EXPECT_EQ(holdsImage(row), !param.marked[row]);
    for (const int id : {kIdRowDescription, kIdRowStatus, kIdRowOutcome}) {
      EXPECT_FALSE(rowControl<QLabel>(id, row).visibleRegion().isEmpty()) << id << " out of view";
    }
    EXPECT_FALSE(rowControl<QProgressBar>(kIdRowProgress, row).visibleRegion().isEmpty());
    const std::string outcome = rowText(kIdRowOutcome, row);
    EXPECT_EQ(outcome.starts_with("FAILED: "), param.marked[row]) << outcome;
    const QProgressBar& bar = rowControl<QProgressBar>(kIdRowProgress, row);
    EXPECT_EQ(bar.value() == bar.maximum(), !param.marked[row]);
  }
  EXPECT_TRUE(control<QPushButton>(*window_, kIdOk)->isEnabled());
}

bootsim::Faults silentInTheWrite() {
  bootsim::Faults faults;
  faults.silentAfter = 6000;  // after the versions' reads, inside the write
  return faults;
}

INSTANTIATE_TEST_SUITE_P(Runs, SeveralUnitsUpdateTest,
                         ::testing::Values(UpdateCase{"BothUpdated",
                                                      {{}, {}},
                                                      {"QUILLmar Updated!", "QUILLmar Updated!"},
                                                      {false, false},
                                                      "2 of 2 units updated"},
                                           UpdateCase{"OneSilent",
                                                      {silentInTheWrite(), {}},
                                                      {"UPDATE FAILED!", "QUILLmar Updated!"},
                                                      {true, false},
                                                      "1 of 2 units updated"}),
                         [](const ::testing::TestParamInfo<UpdateCase>& info) {
                           return info.param.name;
                         });

// An adapter plugged in shows as a row of its own, ticked; unticked, it stays out of the run.
// Cancel asks before it stops the units (No, the default, lets them go on); stopped, they are
// marked; idle, Cancel closes the window and gives the main dialog its input back.
TEST_F(SeveralUnitsWindowTest, PluggedInAdapterAndCancelThatAsks) {
  open({{}, {}}, bootsim::LineTiming{38400, 0});
  {
    const std::lock_guard<std::mutex> lock(listMutex_);
    listed_.push_back({"/nonexistent/ttyUSB9", "Another adapter", "", true, "", "", ""});
  }
  ASSERT_TRUE(waitUntil([&] {
    return window_->findChild<QCheckBox*>(controlName(unitRowControlId(kIdRowTick, 2))) != nullptr;
  }));
  QCheckBox& added = rowControl<QCheckBox>(kIdRowTick, 2);
  EXPECT_TRUE(added.isChecked());
  QTest::mouseClick(&added, Qt::LeftButton, {}, QPoint(5, added.height() / 2));
  ASSERT_FALSE(added.isChecked());

  std::vector<std::string> questions;
  bool noByDefault = false;
  responder_.onShow = [&](QWidget& window) {
    auto* box = qobject_cast<QMessageBox*>(&window);
    if (box == nullptr)
      return;
    questions.push_back(box->text().toStdString());
    noByDefault = box->defaultButton() == box->button(QMessageBox::No);
    if (questions.size() == 2)
      QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
  };
  QTest::mouseClick(control<QPushButton>(*window_, kIdOk), Qt::LeftButton);
  QPushButton& cancel = *control<QPushButton>(*window_, kIdCancel);
  QTest::mouseClick(&cancel, Qt::LeftButton);
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(window_->running()) << "No stopped the run";
  QTest::mouseClick(&cancel, Qt::LeftButton);
  ASSERT_TRUE(waitUntil([&] { return !window_->running() && !summary().empty(); }, 120000));
  render(*window_, QStringLiteral("several-units-stopped"));
  EXPECT_EQ(questions, (std::vector<std::string>{kStopQuestion, kStopQuestion}));
  EXPECT_TRUE(noByDefault) << "Enter would stop the units";
  EXPECT_EQ(summary(), "0 of 2 units updated");
  for (std::size_t row = 0; row < 2; ++row) {
    EXPECT_EQ(rowText(kIdRowStatus, row), "UPDATE FAILED!");
    EXPECT_TRUE(rowText(kIdRowOutcome, row).starts_with("Stopped")) << rowText(kIdRowOutcome, row);
    EXPECT_TRUE(markedRow(row));
  }
  EXPECT_EQ(rowText(kIdRowStatus, 2), "") << "the unticked port ran";
  EXPECT_FALSE(markedRow(2));

  QTest::mouseClick(&cancel, Qt::LeftButton);
  ASSERT_TRUE(waitUntil([&] { return dialog_->severalUnits() == nullptr; }));
  EXPECT_EQ(questions.size(), 2u) << "Cancel asked with no run under way";
  EXPECT_FALSE(dialog_->operationRunning());
}

}  // namespace
}  // namespace quillmar::ui

int main(int argc, char** argv) {
  return quillmar::ui::testing::runTests(argc, argv);
}
