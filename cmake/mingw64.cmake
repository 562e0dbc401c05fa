# The same sources as 64-bit Windows programs: not what a disc carries, but
# what scripts/test runs on a machine whose kernel runs no 32-bit programs.
set(mingw_arch x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw32.cmake)
