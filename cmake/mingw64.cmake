# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, as the Qt prefix was
# built with). Qt and GoogleTest for mingw live in prefixes given by CMAKE_PREFIX_PATH (the
# windows preset points it at the ones scripts/prepare-windows puts into the build folder);
# each is added to the find root so that find_package looks there and nowhere on the host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingwTriplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingwTriplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingwTriplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingwTriplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingwTriplet} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test executables run through Wine; scripts/test-windows gives it a throw-away prefix.
# scripts/build-qt-windows sets it empty: Qt's own build must run nothing through Wine.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
