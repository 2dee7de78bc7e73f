# Cross build for 32-bit Windows (the product) with MinGW-w64's posix-thread compilers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# SSE2 for the code written with vectors (the DXT encoder's four-lane helpers): every processor
# that runs a supported Windows has it. Floating point stays on the x87 unit otherwise: no
# -mfpmath=sse, and no automatic vectorising, which would move float loops to SSE's single
# precision (the sprite pipeline's output changed with it). The random generator and the sprite
# pipeline's roundings are defined by the x87 unit's extended precision.
set(CMAKE_C_FLAGS_INIT "-msse2 -fno-tree-vectorize")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -fno-tree-vectorize")
