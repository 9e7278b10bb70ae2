# IBM Z: big-endian, so any reader that assumes the byte order shows it here.
set(VANTOREL_CROSS_TRIPLET s390x-linux-gnu)
set(VANTOREL_CROSS_PROCESSOR s390x)
set(VANTOREL_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
