# arm64, little-endian like x86-64 but with fused multiply-adds of its own.
set(VANTOREL_CROSS_TRIPLET aarch64-linux-gnu)
set(VANTOREL_CROSS_PROCESSOR aarch64)
set(VANTOREL_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
