# Cross builds with Debian's cross compilers (g++-TRIPLET), their C library in
# /usr/TRIPLET (libc6-dev-ARCH-cross), and the programs run under qemu-user.
# Set VANTOREL_CROSS_TRIPLET, VANTOREL_CROSS_PROCESSOR and VANTOREL_QEMU, then include this file.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${VANTOREL_CROSS_PROCESSOR})
set(CMAKE_C_COMPILER ${VANTOREL_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${VANTOREL_CROSS_TRIPLET}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${VANTOREL_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# CTest and GoogleTest's discovery run the tests through it; so does tools/crosscheck.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTOREL_QEMU} -L /usr/${VANTOREL_CROSS_TRIPLET}
    CACHE STRING "How programs built here run on this machine")
