# The PE32+ twin, whose tests run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QI_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
