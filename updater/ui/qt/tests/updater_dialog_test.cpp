// The dialog program end to end on the offscreen platform: start-up, controls, keys, the about
// box, and operations against pseudo-terminals, with a ModalResponder playing the user at every
// modal window. Each dialog is also rendered to a PNG under the build folder for people to see.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <tuple>

#include "boot/kept_copies.h"
#include "boot/operation_record.h"
#include "bootsim/boot_simulator.h"
#include "bootsim/pty_port.h"
#include "image/detect_format.h"
#include "image/fileio.h"
#include "link/serial_link.h"
#include "ui/common/kept_copy_choice.h"
#include "ui/qt/dialog_template.h"
#include "ui/qt/tests/modal_responder.h"
#include "ui/qt/tests/qt_test_support.h"
#include "ui/qt/updater_dialog.h"

namespace quillmar::ui {
namespace {

using testing::ModalResponder;
using testing::render;
using testing::waitUntil;

// A pseudo-terminal that nobody answers at the far end: a unit that is switched off.
std::unique_ptr<bootsim::PtyPort> silentLine() {
  std::string error;
  std::unique_ptr<bootsim::PtyPort> line = bootsim::PtyPort::create(error);
  if (!line)
    std::abort();
  return line;
}

// The status texts the dialog can show; each must fit on the status line.
const char* const kStatusTexts[] = {
    kStartStatus,
    "Programming QUILLmar Application...",
    "Verifying Data...",
    "QUILLmar Updated!",
    "UPDATE FAILED!",
    "Reading App to quillread.hex...",
    "Read Completed!",
    "READ FAILED!",
    "Fetching version. Please wait...",
    "QUILLmar Version NONE",
    "Restoring QUILLmar Application...",
    "QUILLmar Restored!",
    "RESTORE FAILED!",
    "QUILLmar Already Holds This Image",
    "NOT UPDATED: NOTHING CHANGED",
};

// A device nobody can open.
constexpr const char* kNoDevice = "/nonexistent/tty";

// Settings with `com1` and `com2` behind the buttons, on a computer whose serial ports are
// `listed`, none of them an adapter with a latency timer.
DialogSettings onPorts(const std::string& com1, const std::string& com2,
                       const std::vector<link::SerialPortInfo>& listed = {}) {
  DialogSettings settings;
  settings.ports = {boot::ComPort{com1, com1}, boot::ComPort{com2, com2}};
  settings.listPorts = [=] { return listed; };
  settings.latencyOf = [](const std::string&) { return std::optional<int>(); };
  return settings;
}

class UpdaterDialogTest : public ::testing::Test {
 protected:
  // Opens the dialog on `settings` (folder: a fresh temporary one) and closes the start-up help.
  void open(DialogSettings settings) {
    if (settings.programFolder.empty())
      settings.programFolder = folder_.path().toStdString();
    if (settings.safety.dataFolder.empty())
      settings.safety.dataFolder = data_.path().toStdString();
    dialog_ = std::make_unique<UpdaterDialog>(settings);
    dialog_->show();
    ASSERT_TRUE(waitUntil([&] { return !responder_.seen.empty(); }));
    responder_.seen.clear();
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  }

  // Waits until the first operation has shown its outcome (buttons pressed by mnemonic click
  // a moment later, so a status other than the first one tells that it started).
  void waitForOutcome() {
    ASSERT_TRUE(waitUntil([&] { return !dialog_->operationRunning() && status() != kStartStatus; },
                          120000));
  }

  // An image of `size` bytes as quillmar.hex in the program folder.
  void writeImage(int size) {
    std::vector<uint8_t> image(size);
    for (int i = 0; i < size; ++i) {
      image[i] = static_cast<uint8_t>(i * 7);
    }
    std::ostringstream diag;
    const std::string path = folder_.filePath("quillmar.hex").toStdString();
    ASSERT_EQ(image::fileio(image::Output, path, image::IntelHex, image.data(), size, diag), size);
  }

  std::string status() const { return control<QLabel>(*dialog_, kIdStatus)->text().toStdString(); }
  QProgressBar& progress() const { return *control<QProgressBar>(*dialog_, kIdProgress); }
  QPushButton& button(int id) const { return *control<QPushButton>(*dialog_, id); }
  QRadioButton& radio(int id) const { return *control<QRadioButton>(*dialog_, id); }

  // The copies kept in the data folder, newest first.
  std::vector<boot::KeptCopy> keptCopies() const {
    return boot::listKeptCopies(boot::backupsFolder(data_.path().toStdString()));
  }

  QTemporaryDir folder_;
  QTemporaryDir data_;  // the user's data folder: kept copies and the history
  ModalResponder responder_;
  std::unique_ptr<UpdaterDialog> dialog_;
};

TEST_F(UpdaterDialogTest, StartsWithHelpThenEnterRunsUpdate) {
  const auto line = silentLine();
  DialogSettings settings = onPorts(line->devicePath(), "/dev/ttyUSB0");
  settings.ports[1].label = "/dev/ttyUSB0  USB UART (USB 0403:6001)";
  settings.programFolder = folder_.path().toStdString();
  settings.safety.dataFolder = data_.path().toStdString();
  UpdaterDialog dialog(settings);
  bool helpBlockedMain = false;
  std::string statusAtMessage;
  responder_.onShow = [&](QWidget& window) {
    if (qobject_cast<QMessageBox*>(&window) != nullptr) {
      statusAtMessage = control<QLabel>(dialog, kIdStatus)->text().toStdString();
      render(window, "message-box");
      return;
    }
    helpBlockedMain = window.isModal() && window.parentWidget() == &dialog;
    QLabel& text = *control<QLabel>(window, kIdHelpText);
    EXPECT_LE(text.heightForWidth(text.width()), text.height()) << "help text is cut off";
    render(window, "help-dialog");
  };
  dialog.show();
  ASSERT_TRUE(waitUntil([&] { return !responder_.seen.empty(); }));
  render(dialog, "main-dialog");

  ASSERT_EQ(responder_.seen.size(), 1u);
  EXPECT_EQ(responder_.seen[0].title, "QUILLmar Update Help");
  const std::string& help = responder_.seen[0].text;
  EXPECT_TRUE(help.starts_with("QUILLmar software update instructions:\n\n1) Place the"));
  EXPECT_NE(help.find("8) When it is complete, switch off DIP switch #8.\n\n"), std::string::npos);
  const std::string review = "You may review these intructions at any time by pressing HELP.\n\n";
  const size_t supportLine = help.find(review) + review.size();
  EXPECT_GT(help.size(), supportLine) << "the help text ends with a support line";
  EXPECT_TRUE(helpBlockedMain);
  EXPECT_EQ(dialog.windowTitle(), "QUILLmar_Update");
  EXPECT_EQ(control<QLabel>(dialog, kIdStatus)->text(), kStartStatus);
  EXPECT_TRUE(control<QRadioButton>(dialog, kIdCom1)->isChecked());
  EXPECT_FALSE(control<QRadioButton>(dialog, kIdCom2)->isChecked());
  EXPECT_EQ(control<QRadioButton>(dialog, kIdCom1)->toolTip().toStdString(), line->devicePath());
  EXPECT_EQ(control<QRadioButton>(dialog, kIdCom2)->toolTip().toStdString(),
            "/dev/ttyUSB0  USB UART (USB 0403:6001)");
  const QProgressBar& bar = *control<QProgressBar>(dialog, kIdProgress);
  EXPECT_EQ(std::tuple(bar.minimum(), bar.maximum(), bar.value()), std::tuple(0, 100, 0));

  // No quillmar.hex in the folder: Update opens the port, then fails on the file; the box
  // also tells why the file could not be read.
  QTest::keyClick(&dialog, Qt::Key_Return);
  EXPECT_TRUE(dialog.operationRunning());
  ASSERT_TRUE(waitUntil([&] { return !dialog.operationRunning(); }));
  EXPECT_EQ(responder_.messages(),
            std::vector<std::string>{"file read error code -1 terminating\ncan't open input file " +
                                     folder_.filePath("quillmar.hex").toStdString() +
                                     ": No such file or directory"});
  EXPECT_TRUE(responder_.seen.back().warningBox);
  EXPECT_EQ(responder_.seen.back().title, "QUILLmar_Update");
  EXPECT_EQ(statusAtMessage, "Programming QUILLmar Application...");
  EXPECT_EQ(control<QLabel>(dialog, kIdStatus)->text(), "UPDATE FAILED!");
  EXPECT_EQ(dialog.portChoice(), 0);
}

// Every status text fits on the status line, and every button shows its whole text.
TEST_F(UpdaterDialogTest, TextsFit) {
  open({});
  const QLabel& line = *control<QLabel>(*dialog_, kIdStatus);
  std::vector<std::string> texts(std::begin(kStatusTexts), std::end(kStatusTexts));
  // The versions line an update shows before the gate, at its widest.
  for (const boot::VersionPair& versions :
       {boot::VersionPair{"1.12", "1.1x"}, boot::VersionPair{std::nullopt, std::nullopt}})
    texts.push_back(boot::versionLine(versions));
  for (const std::string& text : texts) {
    EXPECT_LE(line.fontMetrics().horizontalAdvance(QString::fromStdString(text)), line.width())
        << text;
  }
  for (QPushButton* each : dialog_->findChildren<QPushButton*>()) {
    EXPECT_LE(each->sizeHint().height(), each->height() + 4) << each->text().toStdString();
  }
}

// The about command: on its keyboard shortcut and in the dialog's context menu.
TEST_F(UpdaterDialogTest, AboutBoxShowsVersion) {
  open({});
  responder_.onShow = [](QWidget& window) {
    for (const QLabel* label : window.findChildren<QLabel*>()) {
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
          << label->text().toStdString();
    }
    render(window, "about-box");
  };
  QTest::keyClick(dialog_.get(), 'i', Qt::ControlModifier);
  ASSERT_EQ(responder_.seen.size(), 1u);
  EXPECT_EQ(responder_.seen[0].title, "About QUILLmar_Update");
  EXPECT_EQ(responder_.seen[0].text,
            std::string("QUILLmar Update Version 1.1\nFirmware updater ") + QUILLMAR_VERSION);

  ASSERT_EQ(dialog_->contextMenuPolicy(), Qt::ActionsContextMenu);
  ASSERT_EQ(dialog_->actions().size(), 1);
  EXPECT_EQ(dialog_->actions()[0]->text(), kAboutMenuText);
}

// Names a parameterised test after its case's `name`.
template <class Case>
std::string caseName(const ::testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

// Settings with `device` behind Com1 or Com2 and an unopenable device behind the other.
DialogSettings onPort(const std::string& device, bool com2) {
  return com2 ? onPorts(kNoDevice, device) : onPorts(device, kNoDevice);
}

// Failures that each operation meets before it touches the flash; each button is pressed by
// its mnemonic. In the expected messages "<device>" stands for the unit's device and "<folder>"
// for the program folder.
struct FailureCase {
  const char* name;
  bootsim::Faults faults;
  bool portHeld;      // another program holds the unit's port
  const char* image;  // quillmar.hex as written; null: a good 300-byte image
  char mnemonic;
  std::vector<std::string> messages;
  const char* status;
};

class DialogFailureTest : public UpdaterDialogTest,
                          public ::testing::WithParamInterface<FailureCase> {};

// `text` with every `token` replaced by `value`.
std::string replaced(std::string text, const std::string& token, const std::string& value) {
  for (size_t at; (at = text.find(token)) != std::string::npos;)
    text.replace(at, token.size(), value);
  return text;
}

TEST_P(DialogFailureTest, ShowsMessagesThenFailureStatus) {
  const FailureCase& param = GetParam();
  if (param.image == nullptr) {
    writeImage(300);
  } else {
    QFile file(folder_.filePath("quillmar.hex"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(param.image);
  }
  bootsim::BootSimulator unit(param.faults);
  ASSERT_EQ(unit.start(), "");
  std::string error;
  std::unique_ptr<link::PortBackend> holder;
  if (param.portHeld) {
    holder = link::openPort(unit.devicePath(), link::kLinkBaudRate, error);
    ASSERT_NE(holder, nullptr) << error;
  }
  DialogSettings settings = onPort(unit.devicePath(), false);
  settings.replyTimeoutMs = 1000;
  open(settings);
  QTest::keyClick(dialog_.get(), param.mnemonic, Qt::AltModifier);
  waitForOutcome();
  std::vector<std::string> messages;
  for (const std::string& message : param.messages) {
    messages.push_back(replaced(replaced(message, "<device>", unit.devicePath()), "<folder>",
                                folder_.path().toStdString()));
  }
  EXPECT_EQ(responder_.messages(), messages);
  EXPECT_EQ(status(), param.status);
}

bootsim::Faults identifier(const char* text) {
  bootsim::Faults faults;
  faults.identifier = text;
  return faults;
}

const std::string kHeldPortMessage =
    "Opening serial port: Invalid handle retrieved opening port\n<device>: in use by another "
    "program; close that program or choose another port.";
const std::vector<std::string> kBadSignatureMessages = {"AVRBAD! received, bad signature",
                                                        "signature check failed, rc=-1"};

INSTANTIATE_TEST_SUITE_P(
    Operations, DialogFailureTest,
    ::testing::Values(
        FailureCase{
            "PortHeldVersion", {}, true, nullptr, 'v', {kHeldPortMessage}, "QUILLmar Version NONE"},
        FailureCase{"BadSignatureRead", identifier("AVRBAD!"), false, nullptr, 'r',
                    kBadSignatureMessages, "READ FAILED!"},
        FailureCase{"BadChecksumUpdate",
                    {},
                    false,
                    ":0100000055AA\n:0100010055AA\n:00000001FF\n",
                    'u',
                    {"file read error code -1 terminating\nERROR: checksum mismatch at line 2 of "
                     "\"<folder>/quillmar.hex\"\nchecksum=0xaa, computed checksum=0xa9"},
                    "UPDATE FAILED!"}),
    caseName<FailureCase>);

// Each operation against a healthy unit: the outcome status, where the progress bar ends, the
// time line, and that the other port was left alone (opening it would fail). All buttons read
// the port from the radio buttons the same way; Update shows it for Com2 (a whole Read is slow),
// checked with the arrow keys, after which Enter still runs Update.
struct SuccessCase {
  const char* name;
  int button;
  bool com2;
  const char* status;
  int progressMaximum;
  int progressValue;
  bool block;  // started with --block: the unit sees block transfers, the user sees the same
  // Both Com buttons on dead devices: the unit's port is picked in the port list and fast
  // transfers switched on, by keyboard.
  bool pickedByKeyboard = false;
  // The unit behind an adapter that holds each reply this long: the dialog asks first, and
  // the user says yes.
  int latencyMs = 0;
};

class DialogSuccessTest : public UpdaterDialogTest,
                          public ::testing::WithParamInterface<SuccessCase> {};

TEST_P(DialogSuccessTest, EndsWithOutcomeAndProgress) {
  const SuccessCase& param = GetParam();
  writeImage(300);
  bootsim::BootSimulator unit;
  const std::string marker = "CVersion 1.23";
  std::copy(marker.begin(), marker.end(), unit.loader().flash().bytes().begin() + 0x1F0);
  ASSERT_EQ(unit.start(), "");
  const link::SerialPortInfo listed{unit.devicePath(), "simulated unit", "", true, "", "", ""};
  DialogSettings settings = param.pickedByKeyboard ? onPorts(kNoDevice, kNoDevice, {listed})
                                                   : onPort(unit.devicePath(), param.com2);
  settings.block = param.block;
  if (param.latencyMs > 0)
    settings.latencyOf = [&](const std::string&) { return std::optional(param.latencyMs); };
  open(settings);
  QWindow* window = dialog_->windowHandle();
  if (param.com2) {
    radio(kIdCom1).setFocus();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Right})
      QTest::keyClick(window, key);
  }
  if (param.pickedByKeyboard) {
    QTest::keyClick(window, Qt::Key_P, Qt::AltModifier);
    QTest::keyClick(window, Qt::Key_Up);
    QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);  // clicks a moment later
    ASSERT_TRUE(
        waitUntil([&] { return control<QCheckBox>(*dialog_, kIdFastTransfers)->isChecked(); }));
    EXPECT_EQ(control<QComboBox>(*dialog_, kIdPortList)->currentText().toStdString(),
              unit.devicePath() + "  simulated unit (USB)");
  }
  if (param.button == kIdOk)
    QTest::keyClick(window, Qt::Key_Return);
  else
    QTest::mouseClick(&button(param.button), Qt::LeftButton);
  waitForOutcome();
  unit.stop();

  EXPECT_EQ(responder_.messages(), std::vector<std::string>{});
  EXPECT_EQ(responder_.seen.size(), param.latencyMs > 0 ? 1u : 0u) << "the question, answered yes";
  EXPECT_EQ(status(), param.status);
  EXPECT_EQ(dialog_->portChoice(), param.com2 ? 1 : 0);
  EXPECT_EQ(std::pair(progress().maximum(), progress().value()),
            std::pair(param.progressMaximum, param.progressValue));
  const std::string timeLine = control<QLabel>(*dialog_, kIdTimeLine)->text().toStdString();
  EXPECT_EQ(timeLine.starts_with("Took 0:"), param.button != kIdVersion) << timeLine;
  if (param.button == kIdRead) {
    EXPECT_TRUE(QFile::exists(folder_.filePath("quillread.hex")));
  }
  const bool fast = param.block || param.pickedByKeyboard || param.latencyMs > 0;
  EXPECT_EQ(control<QCheckBox>(*dialog_, kIdFastTransfers)->isChecked(), fast);
  // An update asks for block support and reads the unit before the erase in blocks whatever the
  // choice; its block loads show the choice.
  const bool update = param.button == kIdOk;
  EXPECT_EQ(unit.loader().uses('b'), fast || update ? 1u : 0u);
  EXPECT_EQ(unit.loader().uses(update ? 'B' : 'g') > 0, fast);
  if (param.button == kIdOk && !param.com2)
    render(*dialog_, QString::fromUtf8(param.name));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, DialogSuccessTest,
    ::testing::Values(
        SuccessCase{"UpdateCom1", kIdOk, false, "QUILLmar Updated!", 1, 1, false},
        SuccessCase{"ReadCom1", kIdRead, false, "Read Completed!", 510, 510, false},
        SuccessCase{"VersionCom1", kIdVersion, false, "QUILLmar Version 1.23", 100, 0, false},
        SuccessCase{"UpdateCom2", kIdOk, true, "QUILLmar Updated!", 1, 1, false},
        SuccessCase{"UpdateCom1Block", kIdOk, false, "QUILLmar Updated!", 1, 1, true},
        SuccessCase{"UpdatePickedPortFast", kIdOk, false, "QUILLmar Updated!", 1, 1, false, true},
        SuccessCase{"UpdateSlowAdapter", kIdOk, false, "QUILLmar Updated!", 1, 1, false, false,
                    16}),
    caseName<SuccessCase>);

// `size` bytes of a pattern (`seed` tells patterns apart) with the version marker of `version`
// at their start; "" leaves the marker out.
std::vector<uint8_t> firmware(int size, const std::string& version, int seed) {
  std::vector<uint8_t> bytes(size);
  for (int i = 0; i < size; ++i)
    bytes[i] = static_cast<uint8_t>(i * 7 + seed);
  const std::string marker = version.empty() ? "" : "CVersion " + version;
  std::copy(marker.begin(), marker.end(), bytes.begin());
  return bytes;
}

// Saves `bytes` as an Intel HEX file at `path`.
void saveHex(const std::string& path, std::vector<uint8_t> bytes) {
  std::ostringstream diag;
  ASSERT_EQ(image::fileio(image::Output, path, image::IntelHex, bytes.data(),
                          static_cast<int>(bytes.size()), diag),
            static_cast<int>(bytes.size()));
}

// Whether the unit's flash starts with `bytes`.
bool holds(bootsim::BootSimulator& unit, const std::vector<uint8_t>& bytes) {
  const auto& flash = unit.loader().flash().bytes();
  return std::equal(bytes.begin(), bytes.end(), flash.begin());
}

// An update's steps before the erase as the dialog offers them: the gate's question for an
// older image or the same version, answered with Enter (its default button, No), the copy of an
// update that goes ahead kept or not as the tick box says, and the record in the history; --legacy
// leaves all of them out.
struct SafetyCase {
  const char* name;
  const char* unitVersion;
  const char* imageVersion;
  bool keepCopy;  // the tick box as the user leaves it
  boot::GateVerdict verdict;
  const char* status;
  bool legacy = false;
};

class DialogSafetyTest : public UpdaterDialogTest,
                         public ::testing::WithParamInterface<SafetyCase> {};

TEST_P(DialogSafetyTest, AsksWithNoAsDefaultAndKeepsCopyAsTicked) {
  const SafetyCase& param = GetParam();
  const std::vector<uint8_t> before = firmware(1000, param.unitVersion, 1);
  const std::vector<uint8_t> image = firmware(1000, param.imageVersion, 2);
  saveHex(folder_.filePath("quillmar.hex").toStdString(), image);
  bootsim::BootSimulator unit;
  std::copy(before.begin(), before.end(), unit.loader().flash().bytes().begin());
  ASSERT_EQ(unit.start(), "");
  DialogSettings settings = onPort(unit.devicePath(), false);
  settings.safety.legacy = param.legacy;
  open(settings);
  QCheckBox& keep = *control<QCheckBox>(*dialog_, kIdKeepCopy);
  EXPECT_EQ(keep.isChecked(), !param.legacy) << "a copy is kept unless the user says otherwise";
  EXPECT_EQ(keep.isEnabled(), !param.legacy);
  if (!param.keepCopy && !param.legacy)
    QTest::mouseClick(&keep, Qt::LeftButton, {}, QPoint(5, keep.height() / 2));
  ASSERT_EQ(keep.isChecked(), param.keepCopy);
  std::vector<std::string> questions;
  bool noByDefault = false;
  bool answeredByEnter = false;
  responder_.onShow = [&](QWidget& window) {
    auto* box = qobject_cast<QMessageBox*>(&window);
    if (box == nullptr || box->icon() != QMessageBox::Question)
      return;
    questions.push_back(box->text().toStdString());
    noByDefault = box->defaultButton() == box->button(QMessageBox::No);
    render(window, "version-question");
    // Enter as the keyboard gives it: to the box's focused button.
    QTest::keyClick(box->focusWidget() != nullptr ? box->focusWidget() : box, Qt::Key_Return);
    answeredByEnter = !box->isVisible();
  };
  QTest::keyClick(dialog_->windowHandle(), Qt::Key_Return);
  waitForOutcome();
  unit.stop();

  EXPECT_EQ(responder_.messages(), std::vector<std::string>{});
  EXPECT_EQ(status(), param.status);
  const bool asked = param.verdict != boot::GateVerdict::Proceed;
  if (asked) {
    const boot::VersionPair versions{param.unitVersion, param.imageVersion};
    EXPECT_EQ(questions, std::vector{boot::gateQuestion(versions, param.verdict)});
    EXPECT_TRUE(noByDefault) << "Enter would erase the unit";
    EXPECT_TRUE(answeredByEnter) << "Enter did not answer the question";
    EXPECT_TRUE(holds(unit, before)) << "the unit changed after No";
    EXPECT_EQ(unit.loader().uses('e'), 0u) << "erased after No";
  } else {
    EXPECT_EQ(questions, std::vector<std::string>{});
    EXPECT_TRUE(holds(unit, image)) << "the image was not programmed";
  }
  EXPECT_EQ(QFile::exists(data_.filePath(boot::kHistoryFileName)), !param.legacy);
  // The copy is kept once the update goes ahead, not for one refused.
  const bool kept = param.keepCopy && !asked;
  const std::vector<boot::KeptCopy> copies = keptCopies();
  ASSERT_EQ(copies.size(), kept ? 1u : 0u);
  if (kept) {
    EXPECT_EQ(copies[0].version, param.unitVersion);
    std::vector<uint8_t> kept(boot::kAppRegionBytes);
    std::ostringstream diag;
    const int size = image::fileio(image::Input, copies[0].path, image::IntelHex, kept.data(),
                                   boot::kAppRegionBytes, diag);
    EXPECT_GE(size, 1000);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), kept.begin())) << "the copy differs";
  }
}

INSTANTIATE_TEST_SUITE_P(
    BeforeTheErase, DialogSafetyTest,
    ::testing::Values(SafetyCase{"OlderRefusedNoCopy", "1.12", "1.10", true,
                                 boot::GateVerdict::NeedsOlderYes, "NOT UPDATED: NOTHING CHANGED"},
                      SafetyCase{"SameVersionRefusedNoCopy", "1.10", "1.10", false,
                                 boot::GateVerdict::NeedsReinstallYes,
                                 "NOT UPDATED: NOTHING CHANGED"},
                      SafetyCase{"NewerWithCopy", "1.09", "1.10", true, boot::GateVerdict::Proceed,
                                 "QUILLmar Updated!"},
                      SafetyCase{"NewerUntickedNoCopy", "1.09", "1.10", false,
                                 boot::GateVerdict::Proceed, "QUILLmar Updated!"},
                      SafetyCase{"LegacyOlderUnasked", "1.12", "1.10", false,
                                 boot::GateVerdict::Proceed, "QUILLmar Updated!", true}),
    caseName<SafetyCase>);

// Restore: with no copy kept a box names the folder; with copies, the list offers them newest
// first and the one chosen is programmed, older than the unit's firmware as it is, unasked.
TEST_F(UpdaterDialogTest, RestoreProgramsTheChosenCopy) {
  bootsim::BootSimulator unit;
  const std::vector<uint8_t> current = firmware(1000, "1.12", 3);
  std::copy(current.begin(), current.end(), unit.loader().flash().bytes().begin());
  ASSERT_EQ(unit.start(), "");
  open(onPort(unit.devicePath(), false));
  const std::string backups = boot::backupsFolder(data_.path().toStdString());
  QTest::mouseClick(&button(kIdRestore), Qt::LeftButton);
  ASSERT_EQ(responder_.seen.size(), 1u);
  EXPECT_EQ(responder_.seen[0].text, noKeptCopyMessage(backups));
  EXPECT_EQ(status(), kStartStatus);

  const std::vector<uint8_t> older = firmware(1500, "1.08", 4);
  const std::vector<uint8_t> newer = firmware(1200, "1.09", 5);
  QDir().mkpath(QString::fromStdString(backups));
  std::tm when{};
  when.tm_year = 126;
  when.tm_mon = 11;
  when.tm_mday = 1;
  saveHex(backups + "/" + boot::keptCopyName(when, "/dev/ttyUSB0", "1.08"), older);
  when.tm_mday = 5;
  saveHex(backups + "/" + boot::keptCopyName(when, "/dev/ttyUSB0", "1.09"), newer);
  std::vector<std::string> offered;
  responder_.seen.clear();
  responder_.onShow = [&](QWidget& window) {
    auto* list = control<QComboBox>(window, kIdCopyList);
    if (list == nullptr)
      return;
    for (int i = 0; i < list->count(); ++i)
      offered.push_back(list->itemText(i).toStdString());
    EXPECT_EQ(list->currentIndex(), 0) << "the newest copy is chosen at the start";
    render(window, "restore-dialog");
    list->setCurrentIndex(1);
  };
  QTest::mouseClick(&button(kIdRestore), Qt::LeftButton);
  waitForOutcome();
  unit.stop();

  ASSERT_EQ(offered.size(), 2u);
  EXPECT_TRUE(offered[0].starts_with("2026-12-05 ")) << offered[0];
  EXPECT_NE(offered[0].find("ttyUSB0   1.09   1200 bytes"), std::string::npos) << offered[0];
  EXPECT_TRUE(offered[1].starts_with("2026-12-01 ")) << offered[1];
  EXPECT_EQ(responder_.messages(), std::vector<std::string>{});
  EXPECT_EQ(responder_.seen.size(), 1u) << "a question came beside the choice";
  EXPECT_EQ(status(), "QUILLmar Restored!");
  EXPECT_TRUE(holds(unit, older)) << "the chosen copy was not programmed";
  render(*dialog_, "restored");
}

// Drags the file `path` onto `dialog` and drops it there; whether the dialog accepted it.
bool dropFile(QWidget& dialog, const QString& path) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&dialog, &enter);
  QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
  QApplication::sendEvent(&dialog, &dropped);
  return enter.isAccepted() && dropped.isAccepted();
}

// The file rows. An image chosen through "..." or dropped is what Update programs; Read writes
// the file chosen, and asks for one first where it can't write its default file. Each case's
// files lie in a folder of their own; "" as the answer cancels the question.
struct FileCase {
  const char* name;
  const char* image;  // written there and chosen (null: none)
  bool drop;          // dropped onto the dialog instead of chosen in the open dialog
  bool folderWritable;
  int button;
  const char* answer;  // the save dialog's answer, when Read asks for a file (null: no question)
  const char* status;
};

class FileChoiceTest : public UpdaterDialogTest, public ::testing::WithParamInterface<FileCase> {
 protected:
  // Drags `path` onto the dialog and drops it there; whether the dialog accepted it.
  bool drop(const QString& path) { return dropFile(*dialog_, path); }
  QString shown(int id) const { return control<QLabel>(*dialog_, id)->toolTip(); }

  QTemporaryDir files_;
  std::vector<FileQuestion> questions_;
};

TEST_P(FileChoiceTest, OperatesOnChosenFiles) {
  const FileCase& param = GetParam();
  std::vector<uint8_t> image(300);
  for (size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<uint8_t>(i * 5 + 1);
  const QString imagePath = files_.filePath(param.image ? param.image : "");
  std::ostringstream diag;
  if (param.image != nullptr) {
    ASSERT_EQ(image::fileio(image::Output, imagePath.toStdString(),
                            image::formatForFileName(param.image, image::Output), image.data(), 300,
                            diag),
              300);
  }
  bootsim::BootSimulator unit;
  ASSERT_EQ(unit.start(), "");
  DialogSettings settings = onPort(unit.devicePath(), false);
  QFile plain(folder_.filePath("plain"));  // a file: nothing can be created below it
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  settings.programFolder =
      (param.folderWritable ? folder_.path() : folder_.filePath("plain/folder")).toStdString();
  open(settings);
  const QString programFolder = QString::fromStdString(settings.programFolder);
  EXPECT_EQ(shown(kIdImageName), QDir::toNativeSeparators(programFolder + "/quillmar.hex"));
  EXPECT_EQ(shown(kIdReadbackName), QDir::toNativeSeparators(programFolder + "/quillread.hex"));
  dialog_->fileChoice().setAsker([&](QWidget&, const FileQuestion& question) {
    questions_.push_back(question);
    return question.save ? (*param.answer ? files_.filePath(param.answer) : QString()) : imagePath;
  });

  EXPECT_FALSE(drop(files_.filePath("notes.txt"))) << "only .hex and .bin are images";
  if (param.image != nullptr && param.drop)
    EXPECT_TRUE(drop(imagePath));
  else if (param.image != nullptr)
    QTest::mouseClick(&button(kIdChooseImage), Qt::LeftButton);
  if (param.image != nullptr) {
    EXPECT_EQ(shown(kIdImageName), QDir::toNativeSeparators(imagePath));
  }
  QTest::mouseClick(&button(param.button), Qt::LeftButton);
  if (param.answer != nullptr && *param.answer == '\0') {
    EXPECT_FALSE(dialog_->operationRunning());
    EXPECT_EQ(status(), kStartStatus) << "a cancelled Read ran";
  } else {
    waitForOutcome();
  }
  unit.stop();

  EXPECT_EQ(responder_.messages(), std::vector<std::string>{});
  EXPECT_EQ(status(), param.status);
  const std::string documents =
      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
  const size_t saveQuestions = param.answer != nullptr;
  ASSERT_EQ(questions_.size(), (param.image != nullptr && !param.drop) + saveQuestions);
  if (saveQuestions) {
    EXPECT_TRUE(questions_.back().save);
    EXPECT_EQ(questions_.back().start.toStdString(), documents + "/quillread.hex");
  }
  if (param.button == kIdOk) {
    const auto& flash = unit.loader().flash().bytes();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin())) << "flash differs";
  }
  if (param.button == kIdRead && *param.answer != '\0') {
    EXPECT_EQ(shown(kIdReadbackName), QDir::toNativeSeparators(files_.filePath(param.answer)));
    EXPECT_TRUE(QFile::exists(files_.filePath(param.answer)));
  }
  render(*dialog_, QStringLiteral("files-") + param.name);
}

INSTANTIATE_TEST_SUITE_P(Files, FileChoiceTest,
                         ::testing::Values(FileCase{"ChosenHexUpdates", "firmware.hex", false, true,
                                                    kIdOk, nullptr, "QUILLmar Updated!"},
                                           FileCase{"DroppedBinUpdates", "firmware.bin", true, true,
                                                    kIdOk, nullptr, "QUILLmar Updated!"},
                                           FileCase{"UnwritableFolderReadAsks", nullptr, false,
                                                    false, kIdRead, "unit.bin", "Read Completed!"},
                                           FileCase{"UnwritableFolderReadCancelled", nullptr, false,
                                                    false, kIdRead, "", kStartStatus}),
                         caseName<FileCase>);

// Where the keyboard points in the dialog: the control with the focus, the default buttons and
// the checked radio buttons, by object name.
struct KeyboardState {
  QString focus;
  QStringList defaults;
  QStringList checked;
  bool operator==(const KeyboardState&) const = default;
};

std::ostream& operator<<(std::ostream& out, const KeyboardState& state) {
  return out << "focus " << state.focus.toStdString() << ", default "
             << state.defaults.join(' ').toStdString() << ", checked "
             << state.checked.join(' ').toStdString();
}

KeyboardState keyboardState(const QWidget& dialog) {
  KeyboardState state;
  if (const QWidget* focus = dialog.focusWidget())
    state.focus = focus->objectName();
  for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->isDefault())
      state.defaults << button->objectName();
  }
  for (const QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
    if (radio->isChecked())
      state.checked << radio->objectName();
  }
  return state;
}

// Clicks `control` as the window system delivers a click: to its window, at its centre.
void clickThroughWindow(QWidget& control, Qt::MouseButton button = Qt::LeftButton) {
  QWindow* window = control.window()->windowHandle();
  QTest::mouseClick(window, button, {},
                    window->mapFromGlobal(control.mapToGlobal(control.rect().center())));
}

// One input the dialog refuses while an operation runs. `throughWindow`: it arrives as the
// window system delivers it, and then not even a passing focus change is allowed; otherwise
// it is sent straight to a control, past the window.
struct RefusedInput {
  const char* name;
  std::function<void(QWidget& dialog)> give;
  bool throughWindow = true;
};

void PrintTo(const RefusedInput& input, std::ostream* out) {
  *out << input.name;
}

QWidget& controlOf(QWidget& dialog, int id) {
  return *dialog.findChild<QWidget*>(controlName(id));
}

std::function<void(QWidget&)> clickOn(int id, Qt::MouseButton button = Qt::LeftButton) {
  return [=](QWidget& dialog) { clickThroughWindow(controlOf(dialog, id), button); };
}

std::function<void(QWidget&)> keys(std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys) {
  return [=](QWidget& dialog) {
    for (const auto& [key, modifiers] : keys)
      QTest::keyClick(dialog.windowHandle(), key, modifiers);
  };
}

class RefusedInputTest : public UpdaterDialogTest,
                         public ::testing::WithParamInterface<RefusedInput> {};

// Update runs against a silent unit (its failure boxes come after the input); whatever the user
// does meanwhile, afterwards the keyboard points where it did, and Enter runs Update again.
TEST_P(RefusedInputTest, LeavesFocusDefaultAndPortAsTheyWere) {
  writeImage(300);
  const auto line = silentLine();
  DialogSettings settings = onPorts(line->devicePath(), kNoDevice);
  settings.replyTimeoutMs = 300;
  open(settings);
  QTest::keyClick(dialog_->windowHandle(), Qt::Key_Return);
  ASSERT_TRUE(dialog_->operationRunning());
  const KeyboardState before = keyboardState(*dialog_);
  ASSERT_EQ(before,
            (KeyboardState{controlName(kIdOk), {controlName(kIdOk)}, {controlName(kIdCom1)}}));

  QSignalSpy focusMoves(qApp, &QApplication::focusChanged);
  GetParam().give(*dialog_);
  ASSERT_TRUE(dialog_->operationRunning()) << "the input came too late to be refused";
  if (GetParam().throughWindow) {
    EXPECT_EQ(focusMoves.count(), 0) << "the focus moved, if only for a moment";
  }
  EXPECT_EQ(keyboardState(*dialog_), before) << "during the operation";

  ASSERT_TRUE(waitUntil([&] { return !dialog_->operationRunning(); }));
  EXPECT_FALSE(responder_.messages().empty());
  EXPECT_EQ(responder_.seen.size(), responder_.messages().size()) << "another window opened";
  EXPECT_EQ(status(), "UPDATE FAILED!");
  EXPECT_EQ(keyboardState(*dialog_), before) << "after the operation and its boxes";

  responder_.seen.clear();
  QTest::keyClick(dialog_->windowHandle(), Qt::Key_Return);
  ASSERT_TRUE(dialog_->isVisible()) << "Enter closed the dialog";
  ASSERT_TRUE(waitUntil([&] { return status() != "UPDATE FAILED!"; }));
  EXPECT_EQ(status(), boot::kProgrammingStatus) << "Enter ran another operation than Update";
  ASSERT_TRUE(waitUntil([&] { return !dialog_->operationRunning(); }));
  EXPECT_EQ(status(), "UPDATE FAILED!");
}

INSTANTIATE_TEST_SUITE_P(
    DuringUpdate, RefusedInputTest,
    ::testing::Values(
        RefusedInput{"ClickCancel", clickOn(kIdCancel)},
        RefusedInput{"ClickCom2", clickOn(kIdCom2)},
        RefusedInput{"RightClickRead", clickOn(kIdRead, Qt::RightButton)},
        RefusedInput{"DoubleClickCancel",
                     [](QWidget& dialog) {
                       QWidget& cancel = controlOf(dialog, kIdCancel);
                       QWindow* window = dialog.windowHandle();
                       QTest::mouseDClick(
                           window, Qt::LeftButton, {},
                           window->mapFromGlobal(cancel.mapToGlobal(cancel.rect().center())));
                     }},
        RefusedInput{
            "TabAndBacktab",
            keys({{Qt::Key_Tab, {}}, {Qt::Key_Tab, {}}, {Qt::Key_Backtab, Qt::ShiftModifier}})},
        RefusedInput{"ArrowsAndSpace",
                     keys({{Qt::Key_Down, {}}, {Qt::Key_Right, {}}, {Qt::Key_Space, {}}})},
        RefusedInput{"Mnemonics",
                     keys({{Qt::Key_R, Qt::AltModifier}, {Qt::Key_H, Qt::AltModifier}})},
        // Neither Enter, Escape, the about shortcut nor closing the window: the dialog stays,
        // no box opens, and nothing is replayed when the operation ends.
        RefusedInput{"EnterEscapeAboutAndClose",
                     [](QWidget& dialog) {
                       keys({{Qt::Key_Return, {}},
                             {Qt::Key_Escape, {}},
                             {Qt::Key_I, Qt::ControlModifier}})(dialog);
                       dialog.close();
                       EXPECT_TRUE(dialog.isVisible());
                     }},
        RefusedInput{"ClickCancelOnControl",
                     [](QWidget& dialog) {
                       QTest::mouseClick(&controlOf(dialog, kIdCancel), Qt::LeftButton);
                     },
                     false},
        RefusedInput{
            "ClickCom2OnControl",
            [](QWidget& dialog) { QTest::mouseClick(&controlOf(dialog, kIdCom2), Qt::LeftButton); },
            false},
        // Not even a file dropped: it would show as the image while another is programmed.
        RefusedInput{"DropImage",
                     [](QWidget& dialog) {
                       EXPECT_FALSE(dropFile(dialog, QDir::temp().filePath("firmware.bin")));
                     },
                     false}),
    caseName<RefusedInput>);

}  // namespace
}  // namespace quillmar::ui

int main(int argc, char** argv) {
  return quillmar::ui::testing::runTests(argc, argv);
}
