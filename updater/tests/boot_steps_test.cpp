// The programmer's checks that need no unit: size limits and verification.
#include <gtest/gtest.h>

#include <sstream>

#include "boot/boot_programmer.h"
#include "tests/simulated_unit.h"

namespace quillmar::boot {
namespace {

struct Programmer {
  testing::RecordingUi ui;
  std::ostringstream diag;
  BootProgrammer programmer{ui, diag};
};

TEST(BootStepsTest, SizesBeyondTheRegionAreRefusedWithTheirMessage) {
  Programmer p;
  EXPECT_EQ(p.programmer.writeFlash(kAppRegionBytes + 1), -1);
  EXPECT_EQ(p.programmer.verifyFlash(kAppRegionBytes + 2), -1);
  EXPECT_EQ(p.ui.messages,
            (std::vector<std::string>{
                "130561 bytes requested to write, but memory region is only 130560 bytes",
                "requested verification of 130562 bytes, memory only contains 130560 bytes"}));
  // The progress range is set before the check, as the dialog's bar shows it.
  EXPECT_EQ(p.ui.events.front(), "range 510");
}

TEST(BootStepsTest, VerificationReportsTheFirstDifference) {
  struct Difference {
    int address;
    uint8_t image;
    uint8_t readback;
  };
  struct Case {
    std::vector<Difference> differences;
    int size;
    int result;
    std::string message;
  };
  const Case cases[] = {
      {{{0x1234, 0xAB, 0x00}, {0x1235, 0x01, 0x02}},
       kAppRegionBytes,
       -1,
       "Verification error at address 01234: was 00 should be ab"},
      {{{kAppRegionBytes - 1, 0x01, 0xFF}},
       kAppRegionBytes,
       -1,
       "Verification error at address 1fdff: was ff should be 01"},
      {{{0, 0x80, 0x7F}}, 1, -1, "Verification error at address 00000: was 7f should be 80"},
      {{{300, 0x00, 0x11}}, 300, 300, ""},  // past the compared size
      {{{0, 0x00, 0x11}}, 0, 0, ""},
  };
  for (const Case& c : cases) {
    Programmer p;
    for (const Difference& d : c.differences) {
      p.programmer.imageBuffer()[d.address] = d.image;
      p.programmer.readbackBuffer()[d.address] = d.readback;
    }
    EXPECT_EQ(p.programmer.verifyFlash(c.size), c.result) << c.message;
    EXPECT_EQ(p.ui.messages,
              c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
  }
}

}  // namespace
}  // namespace quillmar::boot
