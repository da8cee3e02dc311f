# Cross build for 32-bit Windows, XP SP3 and later, with MinGW-w64: the
# headers offer nothing XP lacks (_WIN32_WINNT 0x0501), and the PE header asks
# for no newer system (subsystem 5.01), or XP refuses to start the program.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501")
set(FP_XP_SUBSYSTEM "-Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static ${FP_XP_SUBSYSTEM} -Wl,--major-os-version,5 -Wl,--minor-os-version,1")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static ${FP_XP_SUBSYSTEM}")
