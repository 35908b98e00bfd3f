# The PE32+ twin, whose tests run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QI_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# Through a script that tells a failed start of Wine from a failed test.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test.sh)
