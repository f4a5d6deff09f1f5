# The sanitizer tree, configured and driven by the main build (see
# Sanitizers.cmake), never on its own. Every file is compiled here with the
# sanitizer's instrumentation; Qt, Mesa and the other system libraries are
# used as installed. Media are not generated again: the test programs read
# those of the main build's program folder.
#
#  address: ravlin_core and every unit and widget test program under
#           AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer,
#           and the libFuzzer targets, which link the same instrumented core.
#  thread:  the threaded pieces (the thread timer and its worker) and their
#           tests under ThreadSanitizer.
if(NOT RAVLIN_MAIN_BINARY_DIR)
  message(FATAL_ERROR "RAVLIN_MAIN_BINARY_DIR must name the main build tree")
endif()
set(RAVLIN_APP_DIR ${RAVLIN_MAIN_BINARY_DIR}/app)
set(RAVLIN_ICON_THEME_DIR ${RAVLIN_MAIN_BINARY_DIR}/share/icons/hicolor)

find_package(GTest REQUIRED)

if(RAVLIN_SANITIZE STREQUAL "address")
  # Undefined behaviour stops the test like a memory error does. The core is
  # also instrumented for libFuzzer's coverage feedback, so that the fuzz
  # targets need no tree of their own; without libFuzzer's main() this costs
  # the test programs only the counters.
  set(ravlin_san_flags -fsanitize=address,undefined -fno-sanitize-recover=all)
  add_compile_options(${ravlin_san_flags} -fsanitize=fuzzer-no-link -fno-omit-frame-pointer -g1)
  add_link_options(${ravlin_san_flags})

  add_subdirectory(src)
  # The sounds stored in the executable, as the main build made them.
  set(resource_files)
  foreach(sound ${RAVLIN_RESOURCE_SOUNDS})
    list(APPEND resource_files ${RAVLIN_RESOURCE_SOUND_DIR}/${sound}.wav)
  endforeach()
  qt_add_resources(ravlin_core ravlin_resource_sounds_qrc PREFIX "/platform/resources"
                   BASE ${RAVLIN_RESOURCE_SOUND_DIR} FILES ${resource_files})

  # See the file: preloaded by the test runs, so that leaks inside Mesa's
  # driver keep their module's name. Not instrumented itself.
  add_library(keep_libraries_loaded SHARED tests/sanitizer/KeepLibrariesLoaded.c)
  set_target_properties(keep_libraries_loaded PROPERTIES COMPILE_OPTIONS "" LINK_OPTIONS "")

  enable_testing()
  add_subdirectory(tests)
  add_subdirectory(fuzz)
elseif(RAVLIN_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -g1)
  add_link_options(-fsanitize=thread)
  set(src ${PROJECT_SOURCE_DIR}/src)
  set(tests ${PROJECT_SOURCE_DIR}/tests)
  # The thread timer, its worker thread and the shared test main() with
  # what it needs. These are the only pieces of the program that run code on
  # a thread of their own (SDL's mixer thread runs none of ours).
  add_executable(test_thread
    ${tests}/TestMain.cpp ${src}/app/Folders.cpp ${src}/platform/FontSubstitutions.cpp
    ${src}/gl/ThreadTimer.cpp ${src}/gl/ThreadTimer.h
    ${src}/gl/TimerThread.cpp ${src}/gl/TimerThread.h
    ${tests}/gl/ThreadTimerTest.cpp)
  target_include_directories(test_thread PRIVATE ${src} ${tests})
  target_link_libraries(test_thread PRIVATE
    Qt6::Widgets GTest::gtest GTest::gmock Qt6::Test ravlin_warnings)
  target_compile_definitions(test_thread PRIVATE RAVLIN_TEST_APP_DIR="${RAVLIN_APP_DIR}/")
else()
  message(FATAL_ERROR "RAVLIN_SANITIZE must be address or thread, not ${RAVLIN_SANITIZE}")
endif()
