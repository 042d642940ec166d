# The Windows build (cross-compiled with cmake/x86_64-w64-mingw32.cmake): the real Win32, the libraries
# of scripts/windows-deps, SimConnect.dll found at run time (declared by the SDK's header or ours), and the
# tests run under Wine. docs/windows-build.md describes it.

set(VANTREL_WINDOWS_DEPS "" CACHE PATH "The prefix scripts/windows-deps printed (holds vantrel-deps.cmake)")
set(VANTREL_SIMCONNECT_SDK "" CACHE PATH "The simulator SDK's SimConnect SDK folder (include/, lib/); empty: our declarations")
set(VANTREL_STANDIN_EXECUTABLE "" CACHE FILEPATH "vantrel-standin of a Linux build, for the tests that talk to it")
option(VANTREL_WINDOWS_TESTS "Build the tests, to run under Wine (scripts/test-windows)" OFF)

if(NOT EXISTS "${VANTREL_WINDOWS_DEPS}/vantrel-deps.cmake")
  message(FATAL_ERROR "VANTREL_WINDOWS_DEPS must name the prefix that scripts/windows-deps printed")
endif()
include(${VANTREL_WINDOWS_DEPS}/vantrel-deps.cmake)

# Wide Win32 calls throughout, and no min/max macros to break std::min and std::max.
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _USE_MATH_DEFINES)
# Windows 10 and later: the oldest Windows the simulators run on.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00)
# mingw's C runtime's printf family takes the C99 formats (%zu, %lld) only in its own implementation.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)

# The names the folders link on Linux, for the same libraries built for Windows.
function(vantrel_windows_alias name)
  add_library(${name} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()
vantrel_windows_alias(PkgConfig::PUGIXML vantrel_win::pugixml)
vantrel_windows_alias(PkgConfig::EXPAT vantrel_win::expat)
vantrel_windows_alias(PkgConfig::CURL vantrel_win::curl)
vantrel_windows_alias(PkgConfig::SODIUM vantrel_win::sodium)
vantrel_windows_alias(PkgConfig::LIBZIP vantrel_win::zip)
vantrel_windows_alias(PkgConfig::FMT vantrel_win::fmt)
vantrel_windows_alias(PkgConfig::HTTPLIB vantrel_win::httplib)
vantrel_windows_alias(nlohmann_json::nlohmann_json vantrel_win::nlohmann_json)
vantrel_windows_alias(GTest::gtest vantrel_win::gtest)
vantrel_windows_alias(GTest::gtest_main vantrel_win::gtest_main)
vantrel_windows_alias(GTest::gmock vantrel_win::gmock)
find_package(Threads REQUIRED)

# Tests run under Wine: the emulator script sets up the prefix in the build folder (scripts/test-windows).
set(VANTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
find_program(VANTREL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VANTREL_WINE NAMES wine64 wine)
if(VANTREL_WINE)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                 WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
elseif(VANTREL_WINDOWS_TESTS)
  message(FATAL_ERROR "The Windows tests need Wine (Debian's wine64), or -DVANTREL_WINDOWS_TESTS=OFF")
endif()

# The tests that talk to vantrel-standin start the Linux one on loopback.
if(VANTREL_WINDOWS_TESTS)
  if(NOT EXISTS "${VANTREL_STANDIN_EXECUTABLE}")
    message(FATAL_ERROR "VANTREL_STANDIN_EXECUTABLE must name vantrel-standin of a Linux build")
  endif()
  add_executable(vantrel-standin IMPORTED GLOBAL)
  set_target_properties(vantrel-standin PROPERTIES IMPORTED_LOCATION ${VANTREL_STANDIN_EXECUTABLE})
endif()
