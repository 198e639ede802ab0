# Cross build of the Windows program on Linux with Debian's clang, against the same mingw-w64
# headers, C++ library and runtime as the GCC build (mingw-w64-x86_64.cmake), linked by lld.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FOLIANTO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET ${FOLIANTO_MINGW_PREFIX})
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET ${FOLIANTO_MINGW_PREFIX})
set(CMAKE_RC_COMPILER ${FOLIANTO_MINGW_PREFIX}-windres)

# Debian keeps that GCC's files in a folder named like "12-posix", which clang does not take for
# a version folder, so it finds neither libstdc++ nor libgcc by itself.
file(GLOB FOLIANTO_MINGW_GCC_DIRS /usr/lib/gcc/${FOLIANTO_MINGW_PREFIX}/*-posix)
list(GET FOLIANTO_MINGW_GCC_DIRS -1 gcc)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${gcc}/include/c++ -isystem ${gcc}/include/c++/${FOLIANTO_MINGW_PREFIX}")
# That libstdc++ is built on winpthreads, which GCC's driver adds by itself; lld takes a library
# wherever it stands on the line.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${gcc} -lwinpthread")

set(CMAKE_FIND_ROOT_PATH /usr/${FOLIANTO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
