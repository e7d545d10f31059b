# Cross-build for 64-bit Windows with Debian's MinGW-w64 toolchain (g++-mingw-w64-x86-64-posix).
# The posix thread flavour gives std::thread; -static links the C++ runtime and winpthread into
# each program, so the .exe files run on their own. Tests run under Wine when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -s")

find_program(QUILLMAR_WINE NAMES wine wine64)
if(QUILLMAR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLMAR_WINE})
endif()
