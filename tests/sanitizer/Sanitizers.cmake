# Builds the sanitizer tests in build trees of their own (san-thread and
# san-address inside the main build folder) and registers them with the
# ctest label "sanitizer", so that a plain ctest run includes them.
#
# Each sanitizer build configures this same source tree with RAVLIN_SANITIZE
# set, which makes the top-level CMakeLists.txt build tests/sanitizer only.
# They are built after the main test programs and one after the other, so
# that they do not compete with the main build for the processors.

option(RAVLIN_SANITIZER_TESTS "Build and run the tests under ThreadSanitizer and AddressSanitizer" ON)
if(NOT RAVLIN_SANITIZER_TESTS)
  return()
endif()

include(ExternalProject)

# Clang's sanitizers when clang is there, the main compiler's otherwise.
find_program(RAVLIN_SANITIZER_CXX NAMES clang++ clang++-14)
find_program(RAVLIN_SANITIZER_CC NAMES clang clang-14)
if(NOT RAVLIN_SANITIZER_CXX OR NOT RAVLIN_SANITIZER_CC)
  set(RAVLIN_SANITIZER_CXX ${CMAKE_CXX_COMPILER})
  set(RAVLIN_SANITIZER_CC ${CMAKE_C_COMPILER})
endif()

set(sanitizer_dir ${CMAKE_CURRENT_LIST_DIR})
set(previous_build ravlin_test_main)
foreach(dir app typing keyboard games gl shell platform)
  if(TARGET test_${dir})
    list(APPEND previous_build test_${dir})
  endif()
endforeach()

# Lists reach the sanitizer builds with '|' between their items.
string(REPLACE ";" "|" resource_sounds "${RAVLIN_RESOURCE_SOUNDS}")
foreach(kind thread address)
  set(binary_dir ${CMAKE_BINARY_DIR}/san-${kind})
  ExternalProject_Add(sanitizer_${kind}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${binary_dir}
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    LIST_SEPARATOR |
    CMAKE_ARGS
      -DRAVLIN_SANITIZE=${kind}
      -DCMAKE_BUILD_TYPE=RelWithDebInfo
      -DCMAKE_CXX_COMPILER=${RAVLIN_SANITIZER_CXX}
      -DCMAKE_C_COMPILER=${RAVLIN_SANITIZER_CC}
      -DRAVLIN_MAIN_BINARY_DIR=${CMAKE_BINARY_DIR}
      -DRAVLIN_RESOURCE_SOUND_DIR=${RAVLIN_RESOURCE_SOUND_DIR}
      -DRAVLIN_RESOURCE_SOUNDS=${resource_sounds}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${binary_dir} --parallel 2
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    TEST_COMMAND ""
    DEPENDS ${previous_build} ravlin_resource_sounds ravlin_media)
  set(previous_build sanitizer_${kind})
endforeach()

# Qt, SDL and the other system libraries are not instrumented. The test
# programs run on Qt's offscreen platform, which starts no event-reader
# thread of its own; the suppression files name only frames inside those
# libraries (see the files for why each entry is there).
set(common_env "QT_QPA_PLATFORM=offscreen")
add_test(NAME sanitizer_thread COMMAND ${CMAKE_BINARY_DIR}/san-thread/test_sanitizer)
set_tests_properties(sanitizer_thread PROPERTIES LABELS "sanitizer" TIMEOUT 900
  ENVIRONMENT "${common_env};TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${sanitizer_dir}/tsan.supp")
add_test(NAME sanitizer_address COMMAND ${CMAKE_BINARY_DIR}/san-address/test_sanitizer)
set_tests_properties(sanitizer_address PROPERTIES LABELS "sanitizer" TIMEOUT 900
  ENVIRONMENT "${common_env};ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1;LSAN_OPTIONS=suppressions=${sanitizer_dir}/lsan.supp:print_suppressions=0")
