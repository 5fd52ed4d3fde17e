# Cross build for 64-bit Windows with MinGW-w64 (the -posix compilers, for std::thread and std::mutex).
# Libraries come from the prefix scripts/windows/toolchain.sh fills: SORANIKA_WIN64_PREFIX, by default
# ~/.cache/soranika/win64. Qt's own tools (moc, rcc, uic) are the host's, under /usr.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

if(DEFINED ENV{SORANIKA_WIN64_PREFIX})
  set(SORANIKA_WIN64_PREFIX "$ENV{SORANIKA_WIN64_PREFIX}")
elseif(NOT SORANIKA_WIN64_PREFIX)
  set(SORANIKA_WIN64_PREFIX "$ENV{HOME}/.cache/soranika/win64")
endif()
# try_compile projects read this file again; they get the prefix from here.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SORANIKA_WIN64_PREFIX)

set(CMAKE_FIND_ROOT_PATH ${SORANIKA_WIN64_PREFIX} /usr/${MINGW_TRIPLE})
set(CMAKE_PREFIX_PATH ${SORANIKA_WIN64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# pkg-config answers for the prefix only, never for the host's libraries.
set(ENV{PKG_CONFIG_LIBDIR} "${SORANIKA_WIN64_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
