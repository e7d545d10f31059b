// The dialog program's command line and its port and transfer choices, in-process; the built
// program's --help and refusals without any display are pinned by the transcript.
#include "ui/qt/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

#include "boot/operation_ui.h"
#include "ui/common/dialog_choices.h"

namespace quillmar::ui {
namespace {

// The toolkit's own options, with and without values and in both spellings, pass between ours.
TEST(CommandLineTest, OptionsAmongToolkitOptions) {
  const ProgramStart start = readCommandLine(
      {"QUILLmar_Update", "-platform", "offscreen", "--com2", "/dev/ttyUSB1", "-style=fusion",
       "-reverse", "--folder", "/srv/firmware", "--com1=/dev/pts/7", "--block"});
  ASSERT_EQ(start.action, ProgramStart::RunDialog) << start.text;
  EXPECT_EQ(start.options.ports, (std::array<std::string, 2>{"/dev/pts/7", "/dev/ttyUSB1"}));
  EXPECT_EQ(start.options.folder, "/srv/firmware");
  EXPECT_TRUE(start.options.block);
  EXPECT_FALSE(readCommandLine({"QUILLmar_Update"}).options.block);
}

class NoUi : public boot::OperationUi {
  void showMessage(const std::string&) override {}
  void setProgressRange(int) override {}
  void setProgressPosition(int) override {}
  void setStatus(const std::string&) override {}
};

// --no-backup starts with the copy off and --legacy leaves out every step before the erase; the
// programmer gets them, the tick box's later choice and the user's data folder.
TEST(CommandLineTest, SafetyOptionsReachTheProgrammer) {
  const struct {
    QStringList options;
    bool legacy;
    bool keepCopy;
  } cases[] = {
      {{}, false, true},
      {{"--no-backup"}, false, false},
      {{"--legacy"}, true, false},
      {{"-legacy", "--no-backup"}, true, false},
  };
  NoUi ui;
  std::ostringstream diag;
  boot::BootProgrammer programmer(ui, diag);
  const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", "/srv/data");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options.join(' ').toStdString());
    const ProgramStart start = readCommandLine(QStringList{"QUILLmar_Update"} + c.options);
    ASSERT_EQ(start.action, ProgramStart::RunDialog) << start.text;
    DialogChoices choices(dialogSettings(start.options, {}));
    EXPECT_EQ(choices.keepCopy(), c.keepCopy);
    choices.prepare(programmer, boot::Operation::Update, 0,
                    [](const std::string&) { return false; });
    EXPECT_EQ(programmer.safety().legacy, c.legacy);
    EXPECT_EQ(programmer.safety().keepCopy, c.keepCopy);
    EXPECT_EQ(programmer.safety().dataFolder, "/srv/data/quillmar");
    choices.setKeepCopy(!c.keepCopy);
    EXPECT_EQ(choices.keepCopy(), !c.keepCopy && !c.legacy) << "legacy never keeps a copy";
  }
  if (dataHome.isNull())
    qunsetenv("XDG_DATA_HOME");
  else
    qputenv("XDG_DATA_HOME", dataHome);
}

// The list offers every port and a Com button's unlisted device; a choice moves the button, and
// the programmer gets both buttons' devices. Fast transfers are offered once per device, for an
// adapter that holds replies long enough to matter, and a yes holds for later operations.
TEST(DialogChoicesTest, PortsAndTheQuestionOfFastTransfers) {
  const link::SerialPortInfo usb{"/dev/ttyUSB0", "USB UART", "", true, "0403", "6001", ""};
  const link::SerialPortInfo uart{"/dev/ttyS4", "serial port", "", false, "", "", ""};
  DialogSettings settings;
  settings.ports = {boot::ComPort{"/dev/pts/7", "/dev/pts/7"}, boot::ComPort{"/dev/ttyS4", "S4"}};
  settings.listPorts = [&] { return std::vector{usb, uart}; };
  settings.latencyOf = [](const std::string& device) {
    return device == "/dev/ttyUSB0" ? std::optional(16)
           : device == "/dev/ttyS4" ? std::optional(1)
                                    : std::nullopt;
  };
  DialogChoices choices(settings);
  const PortChoices first = choices.choices(0);
  ASSERT_EQ(first.ports.size(), 3u);
  EXPECT_EQ(first.ports[0].label, "/dev/ttyUSB0  USB UART (USB 0403:6001)");
  EXPECT_EQ(first.ports[2].device, "/dev/pts/7");
  EXPECT_EQ(first.current, 2);
  EXPECT_EQ(choices.choices(1).current, 1);
  EXPECT_EQ(choices.port(1).label, "/dev/ttyS4  serial port") << "the listed line replaces it";

  NoUi ui;
  std::ostringstream diag;
  boot::BootProgrammer programmer(ui, diag);
  std::vector<std::string> questions;
  bool answer = false;
  const auto ask = [&](const std::string& question) {
    questions.push_back(question);
    return answer;
  };
  choices.prepare(programmer, boot::Operation::Update, 1, ask);  // 1 ms: not worth asking
  choices.choose(0, first.ports[0]);
  choices.prepare(programmer, boot::Operation::Update, 0, ask);
  choices.prepare(programmer, boot::Operation::Read, 0, ask);  // declined for this device
  EXPECT_EQ(programmer.serialLink().devices()[0], "/dev/ttyUSB0");
  EXPECT_EQ(programmer.serialLink().devices()[1], "/dev/ttyS4");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("/dev/ttyUSB0  USB UART (USB 0403:6001) holds each reply 16 ms"),
            std::string::npos)
      << questions[0];
  EXPECT_FALSE(choices.fast());

  DialogChoices again(settings);
  again.choose(1, first.ports[0]);
  answer = true;
  again.prepare(programmer, boot::Operation::Version, 1, ask);
  again.prepare(programmer, boot::Operation::Update, 1, ask);
  EXPECT_EQ(questions.size(), 2u);
  EXPECT_TRUE(again.fast());
}

}  // namespace
}  // namespace quillmar::ui
