// Forced into every translation unit by MSVC builds: GCC's attributes (printf format checks)
// mean nothing to MSVC, so they read as nothing there.
#pragma once
#define __attribute__(x)
