# Shared settings and helpers for every Vantrel target.

set(VANTREL_WARNINGS -Wall -Wextra -Werror -Wno-missing-field-initializers)
# g++ 12 at -O3 reports -Wrestrict inside std::string's own copies where none can overlap (a known
# false positive of that compiler); it would stop the Release build of otherwise clean code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND VANTREL_WARNINGS -Wno-restrict)
  # The same compiler at -O2 with ThreadSanitizer takes defaulted members copied inside a std::variant for
  # uninitialised (the BGL fixture writer's records); only that build is affected.
  if(VANTREL_TSAN)
    list(APPEND VANTREL_WARNINGS -Wno-maybe-uninitialized)
  endif()
endif()

if(VANTREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VANTREL_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# vantrel_library(<name> [DEPS <targets>...])
# Builds a static library from every .cpp of the current folder (not its sub-folders).
function(vantrel_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VANTREL_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# vantrel_test(<name> SOURCES <files>... [LIBS <targets>...] [LABELS <labels>...])
# One GoogleTest executable; every test in it becomes a CTest test.
function(vantrel_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VANTREL_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  if(WIN32)
    # What the tests take from POSIX comes from a small header of ours.
    target_compile_options(${name} PRIVATE -include ${CMAKE_SOURCE_DIR}/tests/support/windows_test_env.h)
    target_link_libraries(${name} PRIVATE ws2_32)
  endif()
  if(NOT ARG_TIMEOUT AND WIN32)
    # Under Wine a test now and then never ends at its exit; scripts/test-windows runs it again.
    set(ARG_TIMEOUT 45)
  elseif(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(labels ${ARG_LABELS})
  if(NOT labels)
    set(labels unit)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${labels}" TIMEOUT ${ARG_TIMEOUT}
    DISCOVERY_TIMEOUT 60)
endfunction()

# vantrel_test_folders(): adds every sub-folder of the current folder that has a CMakeLists.txt.
function(vantrel_add_subfolders)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
