// Flash image files for the simulator: the unit's flash before it starts serving and after it
// stops. A name ending in .hex is Intel HEX, anything else raw binary from address 0.
#pragma once

#include <iosfwd>
#include <string>

#include "bootsim/flash_memory.h"

namespace quillmar::bootsim {

// Replaces the whole flash with the image in `path` (bytes it does not name read 0xFF).
// False after a message on `diag`; the flash is then unchanged.
bool loadFlash(FlashMemory& flash, const std::string& path, std::ostream& diag);

// Writes the whole flash to `path`. False after a message on `diag`.
bool dumpFlash(const FlashMemory& flash, const std::string& path, std::ostream& diag);

}  // namespace quillmar::bootsim
