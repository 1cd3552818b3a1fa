# 64-bit Windows: the test build, for machines that run only 64-bit code.
set(VQ_TOOLCHAIN_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
