// Windows device instance IDs of serial ports, as the device list gives them.
#include <gtest/gtest.h>

#include "link/device_id.h"

namespace quillmar::link {
namespace {

TEST(DeviceIdTest, RecordedInstanceIdsGiveTheirUsbFacts) {
  struct Case {
    std::string id;
    bool usb;
    std::string vendor, product, serial;
  };
  const Case cases[] = {
      {"USB\\VID_0403&PID_6001\\A50285BI", true, "0403", "6001", "A50285BI"},
      {"FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", true, "0403", "6001", "A50285BI"},
      {"USB\\VID_2341&PID_0043&MI_00\\7&1C3B5D9A&0&0000", true, "2341", "0043", ""},
      {"USB\\VID_2341&PID_0043\\85036313130351F0E1A1", true, "2341", "0043",
       "85036313130351F0E1A1"},
      {"USB\\VID_1A86&PID_7523\\5&2D5B2B5&0&2", true, "1A86", "7523", ""},
      {"usb\\vid_067b&pid_2303\\a1b2", true, "067B", "2303", "a1b2"},
      {"ACPI\\PNP0501\\1", false, "", "", ""},
      {"USB\\VID_04G3&PID_60\\X", true, "", "", "X"},
      {"USB\\VID_0403&PID_6001", false, "", "", ""},
      {"", false, "", "", ""},
      {"\\\\\\", false, "", "", ""},
  };
  for (const Case& c : cases) {
    const DeviceIdFacts facts = parseDeviceInstanceId(c.id);
    EXPECT_EQ(facts.usb, c.usb) << c.id;
    EXPECT_EQ(facts.vendorId, c.vendor) << c.id;
    EXPECT_EQ(facts.productId, c.product) << c.id;
    EXPECT_EQ(facts.serialNumber, c.serial) << c.id;
  }
}

}  // namespace
}  // namespace quillmar::link
