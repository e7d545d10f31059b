// The unit's resident boot loader (boot_loader.c), built by the project as machine code for the
// unit's ATmega1284P and placed in the top 512 bytes of its flash; the application region below
// it is byte addresses 0 to 130559. It answers the boot-loader command set the updater speaks,
// and never erases or writes its own pages. The build links its image into the emulated unit
// (quillmar-bootsim --avr) through the declaration below; nothing else in the tools uses it.
#pragma once

namespace quillmar::unit {

// Machine code and the flash byte address it starts at (the chip's boot reset address).
struct BootLoaderImage {
  const unsigned char* bytes;
  unsigned size;
  unsigned address;
};

// Defined by the build, from the compiled boot loader.
extern const BootLoaderImage kBootLoaderImage;

}  // namespace quillmar::unit
