# 32-bit Windows: the architecture the program ships as.
set(VQ_TOOLCHAIN_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
