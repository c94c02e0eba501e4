# Cross-compiles for 64-bit Windows with MinGW-w64 from a Linux machine.
# The posix thread model is the one whose libstdc++ has std::mutex and
# std::thread; the runtime libraries are linked statically so that every
# .exe runs on its own, with system DLLs only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VUREZER_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VUREZER_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VUREZER_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VUREZER_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VUREZER_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Prefer the static archives of cross libraries (zlib ships both).
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .dll.a)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables run under Wine on the build machine.
find_program(VUREZER_WINE NAMES wine64 wine)
if(VUREZER_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VUREZER_WINE})
endif()

# zlib ships an import library too; the archive keeps zlib1.dll away.
set(ZLIB_USE_STATIC_LIBS ON)

# pkg-config must see the cross libraries only, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${CMAKE_FIND_ROOT_PATH}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
