# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX threads flavour, for
# std::thread), looking for libraries only under VANTORIX_WINDOWS_PREFIX: the ones
# scripts/windows-deps.sh built from Debian's sources.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
if(DEFINED ENV{VANTORIX_WINDOWS_PREFIX})
    set(VANTORIX_WINDOWS_PREFIX $ENV{VANTORIX_WINDOWS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${VANTORIX_WINDOWS_PREFIX})
# pkg-config finds those alone, at every configure (cpack's too), never the system's own. (The
# compiler checks read this file without the prefix.)
if(VANTORIX_WINDOWS_PREFIX)
    set(ENV{PKG_CONFIG_LIBDIR} ${VANTORIX_WINDOWS_PREFIX}/lib/pkgconfig)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The tests of the Windows build run under Wine (CTest puts it before every test program).
find_program(VANTORIX_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VANTORIX_WINE NAMES wine64 wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTORIX_WINE})
