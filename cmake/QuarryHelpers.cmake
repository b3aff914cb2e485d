# Small helpers shared by every folder's CMakeLists.txt.

# Adds every immediate subfolder of the current folder that has a CMakeLists.txt.
# Targets may refer to each other in any order; CMake resolves names at generate time.
function(quarry_add_subdirs)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# quarry_add_library(NAME [DIR dir] [LINKS libs...] [QT])
# A static library of every .cpp below DIR (default: this folder). Headers are reached
# from the repository root, e.g. #include "platform/base/Event.h".
function(quarry_add_library name)
  cmake_parse_arguments(ARG "QT" "DIR" "LINKS" ${ARGN})
  if(NOT ARG_DIR)
    set(ARG_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  # Qt classes with signals or slots need moc; harmless for libraries without Qt.
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINKS} Threads::Threads)
endfunction()

# quarry_add_test(NAME SOURCES files... [LINKS libs...] [THREADED] [QT] [LABEL label])
# One GoogleTest executable registered with ctest. THREADED suites also run in the
# ThreadSanitizer build of .ci/run (label "tsan" instead of "unit"); QT suites get the Qt test
# main (a QApplication, offscreen, private folders) and are discovered when the test runs so
# that discovery needs no display. LABEL replaces the label (for example "screens").
function(quarry_add_test name)
  cmake_parse_arguments(ARG "THREADED;QT" "LABEL" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} qt_test_main GTest::gtest GTest::gmock Threads::Threads)
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  endif()
  # One label and one environment entry each: gtest_discover_tests splits list values.
  set(label unit)
  if(ARG_THREADED)
    set(label tsan)
  endif()
  if(ARG_LABEL)
    set(label ${ARG_LABEL})
  endif()
  set(props LABELS ${label} ENVIRONMENT LC_ALL=C TIMEOUT 300)
  if(ARG_QT)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
  endif()
endfunction()
