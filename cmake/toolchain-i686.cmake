# The setup program itself: PE32.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QI_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
