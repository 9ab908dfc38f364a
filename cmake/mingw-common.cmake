# Shared by the two MinGW-w64 toolchain files; VELUNOR_MINGW_PREFIX names the
# target triple.
set(CMAKE_SYSTEM_NAME Windows)
if(VELUNOR_MINGW_PREFIX MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
  set(CMAKE_SYSTEM_PROCESSOR i686)
endif()
set(CMAKE_C_COMPILER   ${VELUNOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELUNOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${VELUNOR_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELUNOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run under Wine; with-wine.sh puts the right "wine" for the
# build's architecture first on PATH.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
