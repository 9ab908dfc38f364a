# Cross build for 64-bit Windows: the same programs, the test vehicle on hosts
# whose kernel refuses 32-bit code (only 64-bit Wine runs there).
set(VELUNOR_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
