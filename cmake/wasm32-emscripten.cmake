# WebAssembly through Debian's emscripten, run under node. Its prebuilt system
# libraries are used as they are: emscripten's ports would download.
# Node reads the host's files itself (NODERAWFS), so the checker takes paths
# as any program does.
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-experimental-fetch
    CACHE STRING "How programs built here run on this machine")
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
# The optimising link runs emscripten's acorn, which node finds only here.
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-sNODERAWFS=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1")
