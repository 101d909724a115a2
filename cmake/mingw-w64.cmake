# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix-thread flavour, so that
# std::thread and std::mutex work). The runtime libraries are linked statically: the plug-in,
# the host and the tests then need nothing but the system's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MARLET_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MARLET_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MARLET_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MARLET_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MARLET_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 and later: the wide-character API and SRWLOCK/condition variables are there.
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE NOMINMAX
  WIN32_LEAN_AND_MEAN)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine on the build machine.
find_program(MARLET_WINE wine)
if(MARLET_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MARLET_WINE})
endif()
