# CMake toolchain for building Calvix for 64-bit Windows with Debian's MinGW-w64 cross compiler:
#   cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The program is linked statically (libgcc, libstdc++ and the C++ runtime's threads), so
# MorCalvix.exe needs no DLL beyond the ones Windows itself carries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CALVIX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CALVIX_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${CALVIX_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${CALVIX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CALVIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The same optimisation as the Linux builds: at -O3 GCC 12 warns falsely about overlapping
# copies inside std::string's operator+ (GCC bug 105329).
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of release builds")
