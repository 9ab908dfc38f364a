# Cross build for 32-bit Windows: the shipped programs. The posix-threads
# flavour of MinGW-w64 (the win32 flavour has no std::thread / std::mutex).
set(VELUNOR_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
