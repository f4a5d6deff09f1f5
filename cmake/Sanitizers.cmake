# The one way the project builds and runs anything under a sanitizer: two
# build trees inside the main build folder, each configuring this same source
# tree with RAVLIN_SANITIZE set (see SanitizerTree.cmake):
#
#   san-address  the core, every unit and widget test program and the fuzz
#                targets, with AddressSanitizer, LeakSanitizer and
#                UndefinedBehaviorSanitizer;
#   san-thread   the threaded pieces with ThreadSanitizer.
#
# Their tests are registered here with the ctest label "sanitizer", so that a
# plain ctest run includes them. The trees are built after the main test
# programs and one after the other, so that they do not compete with the main
# build for the processors, and they read the media of the main build.

option(RAVLIN_SANITIZER_TESTS "Build and run the tests under the sanitizers and the fuzz targets" ON)
if(NOT RAVLIN_SANITIZER_TESTS)
  return()
endif()

include(ExternalProject)

# libFuzzer and the sanitizer run-time libraries come with clang.
find_program(RAVLIN_SANITIZER_CXX NAMES clang++ clang++-14)
find_program(RAVLIN_SANITIZER_CC NAMES clang clang-14)
if(NOT RAVLIN_SANITIZER_CXX OR NOT RAVLIN_SANITIZER_CC)
  message(WARNING "clang not found: the sanitizer tests and fuzz targets are not built")
  return()
endif()

set(sanitizer_dir ${CMAKE_SOURCE_DIR}/tests/sanitizer)
set(fuzz_dir ${CMAKE_SOURCE_DIR}/fuzz)
set(unit_dirs app typing keyboard games gl shell platform history)
set(previous_build ravlin_test_main ravlin_resource_sounds ravlin_media ravlin)
foreach(dir ${unit_dirs})
  if(TARGET test_${dir})
    list(APPEND previous_build test_${dir})
  endif()
endforeach()

# Lists reach the sanitizer trees with '|' between their items.
string(REPLACE ";" "|" resource_sounds "${RAVLIN_RESOURCE_SOUNDS}")
foreach(kind address thread)
  set(binary_dir ${CMAKE_BINARY_DIR}/san-${kind})
  set(launcher)
  if(CMAKE_CXX_COMPILER_LAUNCHER)
    set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
                 -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER})
  endif()
  ExternalProject_Add(sanitizer_${kind}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${binary_dir}
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    LIST_SEPARATOR |
    CMAKE_ARGS
      -DRAVLIN_SANITIZE=${kind}
      -DCMAKE_BUILD_TYPE=Release
      -DCMAKE_CXX_COMPILER=${RAVLIN_SANITIZER_CXX}
      -DCMAKE_C_COMPILER=${RAVLIN_SANITIZER_CC}
      ${launcher}
      -DRAVLIN_MAIN_BINARY_DIR=${CMAKE_BINARY_DIR}
      -DRAVLIN_RESOURCE_SOUND_DIR=${RAVLIN_RESOURCE_SOUND_DIR}
      -DRAVLIN_RESOURCE_SOUNDS=${resource_sounds}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${binary_dir} --parallel 2
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON
    INSTALL_COMMAND ""
    TEST_COMMAND ""
    DEPENDS ${previous_build})
  set(previous_build sanitizer_${kind})
endforeach()

set(san_address ${CMAKE_BINARY_DIR}/san-address)
# Undefined behaviour and leaks fail the test with a stack. The suppression
# files name only frames inside system libraries (see each file for why).
set(asan_env
  "ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=${sanitizer_dir}/ubsan.supp"
  "LSAN_OPTIONS=suppressions=${sanitizer_dir}/lsan.supp:print_suppressions=0"
  "LD_PRELOAD=${san_address}/libkeep_libraries_loaded.so")

# Every unit and widget test program, each on an X server of its own.
foreach(dir ${unit_dirs})
  if(TARGET test_${dir})
    add_test(NAME asan_${dir}
             COMMAND ${sanitizer_dir}/run_own_x.sh ${san_address}/tests/test_${dir})
    set_tests_properties(asan_${dir} PROPERTIES LABELS "sanitizer" TIMEOUT 900
                         ENVIRONMENT "${asan_env}")
  endif()
endforeach()

# On Qt's offscreen platform, which starts no event-reader thread of its own
# in the uninstrumented Qt, and shows nothing on any display.
add_test(NAME tsan_threads COMMAND ${CMAKE_BINARY_DIR}/san-thread/test_thread)
set_tests_properties(tsan_threads PROPERTIES LABELS "sanitizer" TIMEOUT 600
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${sanitizer_dir}/tsan.supp")

# The fuzz targets (fuzz/<name>_fuzz.cpp), each for a bounded time. New
# inputs go to a corpus folder in the build tree; the committed seeds under
# fuzz/corpus/<name> are only read. A dictionary fuzz/<name>.dict is used
# when there is one.
set(RAVLIN_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs")
file(GLOB fuzz_sources CONFIGURE_DEPENDS ${fuzz_dir}/*_fuzz.cpp)
set(corpus_dirs)
foreach(source ${fuzz_sources})
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" name ${name})
  set(corpus ${san_address}/fuzz/corpus-${name})
  list(APPEND corpus_dirs ${corpus})
  set(dict)
  if(EXISTS ${fuzz_dir}/${name}.dict)
    set(dict -dict=${fuzz_dir}/${name}.dict)
  endif()
  add_test(NAME fuzz_${name}
           COMMAND ${CMAKE_COMMAND} -E env ${asan_env} QT_QPA_PLATFORM=offscreen
                   ${san_address}/fuzz/fuzz_${name}
                   -max_total_time=${RAVLIN_FUZZ_SECONDS} -rss_limit_mb=2048 -max_len=4096
                   -timeout=10 -print_final_stats=1 ${dict}
                   ${corpus} ${fuzz_dir}/corpus/${name})
  set_tests_properties(fuzz_${name} PROPERTIES LABELS "sanitizer" TIMEOUT 300
                       FIXTURES_REQUIRED fuzz_corpus)
endforeach()
add_test(NAME fuzz_corpus_folders COMMAND ${CMAKE_COMMAND} -E make_directory ${corpus_dirs})
set_tests_properties(fuzz_corpus_folders PROPERTIES LABELS "sanitizer" FIXTURES_SETUP fuzz_corpus)
