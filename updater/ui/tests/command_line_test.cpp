// The dialog program's command line, read in-process for the settings it yields; the built
// program's --help and refusals without any display are pinned by the transcript.
#include "ui/command_line.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quillmar::ui
