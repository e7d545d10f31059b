// Feeds arbitrary line traffic to the simulated boot loader. Whatever arrives, the boot
// section above the application region stays as it was, and once a half-received command is
// dropped the loader answers the next command normally.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bootsim/boot_loader.h"

using quillmar::bootsim::BootLoader;
using quillmar::bootsim::kAppRegionBytes;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BootLoader loader;
  auto flash = loader.flash().bytes();
  std::fill(flash.begin() + kAppRegionBytes, flash.end(), 0x5A);
  std::vector<uint8_t> reply;
  for (size_t at = 0; at < size; ++at) {
    loader.receive(data[at], reply);
  }
  if (!std::all_of(flash.begin() + kAppRegionBytes, flash.end(),
                   [](uint8_t byte) { return byte == 0x5A; })) {
    std::abort();
  }
  loader.dropPartialCommand();
  reply.clear();
  loader.receive('a', reply);
  if (reply != std::vector<uint8_t>{'Y'}) {
    std::abort();
  }
  return 0;
}
