# Cross-compiles for 64-bit Windows with MinGW-w64 (POSIX threads, for
# std::thread in GoogleTest) and runs the results under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The wine64 loader itself: the /usr/bin/wine wrapper adds about a second a start.
find_program(OBTURIX_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH REQUIRED)
# Through a wrapper that tells Wine's own hiccups on a busy machine from the
# program's status.
set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_CURRENT_LIST_DIR}/wine_test_run.sh ${OBTURIX_WINE})
