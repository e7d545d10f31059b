// The dialog program's command line: read in-process for the settings it yields, and the built
// program run without any display for --help and the refusals.
#include "ui/command_line.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "boot/program_folder.h"

namespace quillmar::ui {
namespace {

QStringList withProgram(const QStringList& arguments) {
  return QStringList{QStringLiteral("QUILLmar_Update")} + arguments;
}

// The toolkit's own options, with and without values and in both spellings, pass between ours.
TEST(CommandLineTest, SettingsFromOptionsAmongToolkitOptions) {
  const ProgramStart start = readCommandLine(
      withProgram({"-platform", "offscreen", "--com2", "/dev/ttyUSB1", "-style=fusion", "-reverse",
                   "--folder", "/srv/firmware", "--com1=/dev/pts/7", "--block"}),
      {});
  ASSERT_EQ(start.action, ProgramStart::RunDialog) << start.text;
  EXPECT_EQ(start.settings.devices[0], "/dev/pts/7");
  EXPECT_EQ(start.settings.devices[1], "/dev/ttyUSB1");
  EXPECT_EQ(start.settings.programFolder, "/srv/firmware");
  EXPECT_TRUE(start.settings.block);

  const ProgramStart plain = readCommandLine(withProgram({}), {});
  ASSERT_EQ(plain.action, ProgramStart::RunDialog) << plain.text;
  EXPECT_EQ(plain.settings.devices[0], "/dev/ttyS0");
  EXPECT_EQ(plain.settings.devices[1], "/dev/ttyS1");
  EXPECT_EQ(plain.settings.programFolder, boot::programFolder());
  EXPECT_FALSE(plain.settings.block);
}

// Without --com1/--com2 the buttons take the listed ports in order, skipping one already given
// to the other button; each tooltip is the port's line, or the bare device when it is unlisted.
TEST(CommandLineTest, ButtonsDefaultToTheListedPorts) {
  const link::SerialPortInfo usb{"/dev/ttyUSB0", "USB UART", "", true, "0403", "6001", "A5"};
  const link::SerialPortInfo uart{"/dev/ttyS4", "serial port", "", false, "", "", ""};
  const std::string usbTip = "/dev/ttyUSB0  USB UART (USB 0403:6001, serial A5)";
  struct Case {
    QStringList arguments;
    std::vector<link::SerialPortInfo> ports;
    std::string com1, com2, tip1, tip2;
  };
  const Case cases[] = {
      {{}, {usb, uart}, "/dev/ttyUSB0", "/dev/ttyS4", usbTip, "/dev/ttyS4  serial port"},
      {{}, {usb}, "/dev/ttyUSB0", "/dev/ttyS1", usbTip, "/dev/ttyS1"},
      {{"--com1", "/dev/ttyUSB0"},
       {usb, uart},
       "/dev/ttyUSB0",
       "/dev/ttyS4",
       usbTip,
       "/dev/ttyS4  serial port"},
      {{"--com2", "/dev/pts/3"}, {usb, uart}, "/dev/ttyUSB0", "/dev/pts/3", usbTip, "/dev/pts/3"},
      {{}, {}, "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS0", "/dev/ttyS1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString() + " " + std::to_string(c.ports.size()));
    const ProgramStart start = readCommandLine(withProgram(c.arguments), c.ports);
    ASSERT_EQ(start.action, ProgramStart::RunDialog) << start.text;
    EXPECT_EQ(start.settings.devices[0], c.com1);
    EXPECT_EQ(start.settings.devices[1], c.com2);
    EXPECT_EQ(start.settings.portTips[0], c.tip1);
    EXPECT_EQ(start.settings.portTips[1], c.tip2);
  }
}

// A run of the built program on the console: its exit status, and a piece of the text it must
// write to standard output or standard error (the other stream stays empty).
struct ConsoleCase {
  const char* name;
  QStringList arguments;
  int status;
  const char* output;
  const char* error;
};

void PrintTo(const ConsoleCase& run, std::ostream* out) {
  *out << run.name;
}

class ConsoleRunTest : public ::testing::TestWithParam<ConsoleCase> {};

TEST_P(ConsoleRunTest, AnswersWithoutDisplay) {
  const ConsoleCase& param = GetParam();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(QString::fromLatin1(name));
  }
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(QUILLMAR_DIALOG_PROGRAM), param.arguments);
  ASSERT_TRUE(program.waitForFinished(30000)) << program.errorString().toStdString();
  const std::string output = program.readAllStandardOutput().toStdString();
  const std::string error = program.readAllStandardError().toStdString();
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << error;
  EXPECT_EQ(program.exitCode(), param.status) << error;
  EXPECT_NE(output.find(param.output), std::string::npos) << output;
  EXPECT_NE(error.find(param.error), std::string::npos) << error;
  EXPECT_TRUE(*param.output == '\0' ? output.empty() : error.empty()) << output << error;
}

constexpr const char* kHelpLines =
    "Usage: QUILLmar_Update [options]\n"
    "Programs, reads back or identifies the QUILLmar unit's firmware over a serial port.\n";

INSTANTIATE_TEST_SUITE_P(
    Options, ConsoleRunTest,
    ::testing::Values(
        ConsoleCase{"Help", {"--help"}, 0, kHelpLines, ""},
        ConsoleCase{"Version", {"--version"}, 0, "QUILLmar_Update " QUILLMAR_VERSION "\n", ""},
        ConsoleCase{
            "ShortHelpAfterToolkitOption", {"-platform", "xcb", "-h"}, 0, "--com1 <DEVICE>", ""},
        ConsoleCase{"UnknownOption",
                    {"--com3", "/dev/ttyS2"},
                    2,
                    "",
                    "QUILLmar_Update: Unknown option 'com3'.\n"
                    "Try 'QUILLmar_Update --help' for the options.\n"},
        ConsoleCase{"MissingValue", {"--folder"}, 2, "", "Missing value after '--folder'."},
        ConsoleCase{
            "StrayArgument", {"quillmar.hex"}, 2, "", "Unexpected argument 'quillmar.hex'."}),
    [](const ::testing::TestParamInfo<ConsoleCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillmar::ui
