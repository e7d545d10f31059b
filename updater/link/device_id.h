// What a Windows device instance ID says about a serial port's hardware. The ID names the bus
// driver, the hardware and the instance: "USB\VID_0403&PID_6001\A50285BI" is a USB device with
// vendor 0403, product 6001 and serial number A50285BI. Plain text, so it is parsed (and
// tested) on every platform.
#pragma once

#include <string>

namespace quillmar::link {

struct DeviceIdFacts {
  bool usb = false;          // a USB device
  std::string vendorId;      // four upper-case hex digits; "" when the ID does not say
  std::string productId;     // likewise
  std::string serialNumber;  // "" when the ID holds none (Windows made up the instance part)
};

// The facts in `instanceId`: USB\VID_v&PID_p\serial (a composite device's function adds &MI_nn,
// and an instance that Windows made up holds "&"), or FTDIBUS\VID_v+PID_p+serial channel\0000,
// whose serial carries the adapter's channel letter at its end. Letters in any case. Anything
// else is no USB device.
DeviceIdFacts parseDeviceInstanceId(const std::string& instanceId);

}  // namespace quillmar::link
