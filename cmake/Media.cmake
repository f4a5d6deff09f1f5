# Media beside the executable. Hand-written media (texts, help pages) are
# copied from media/; generated media are produced by the programs under
# tools/, each of which adds its own target to ravlin_media.
add_custom_target(ravlin_media)

file(GLOB_RECURSE RAVLIN_HANDWRITTEN_MEDIA CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/media/*)
set(RAVLIN_MEDIA_STAMP ${CMAKE_BINARY_DIR}/media-copied.stamp)
file(MAKE_DIRECTORY ${RAVLIN_APP_DIR})
add_custom_command(
  OUTPUT ${RAVLIN_MEDIA_STAMP}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/media ${RAVLIN_APP_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${RAVLIN_MEDIA_STAMP}
  DEPENDS ${RAVLIN_HANDWRITTEN_MEDIA}
  COMMENT "Copying hand-written media")
add_custom_target(ravlin_media_copy DEPENDS ${RAVLIN_MEDIA_STAMP})
add_dependencies(ravlin_media ravlin_media_copy)

# ravlin_add_media_generator(<name> SOURCES ... OUTPUTS ... [EXTRA_OUTPUTS ...] [ARGS ...])
# builds a generator program and runs it with the program folder as its first
# argument; it must write exactly the listed OUTPUTS (paths relative to the
# program folder) and EXTRA_OUTPUTS (absolute paths elsewhere in the build
# tree, such as the desktop's icon theme). Generators that paint text run on
# Qt's offscreen platform.
function(ravlin_add_media_generator name)
  cmake_parse_arguments(GEN "" "" "SOURCES;OUTPUTS;EXTRA_OUTPUTS;ARGS;LIBS" ${ARGN})
  add_executable(${name} ${GEN_SOURCES})
  target_link_libraries(${name} PRIVATE ravlin_warnings Qt6::Gui ${GEN_LIBS})
  set(outputs)
  foreach(out ${GEN_OUTPUTS})
    list(APPEND outputs ${RAVLIN_APP_DIR}/${out})
  endforeach()
  list(APPEND outputs ${GEN_EXTRA_OUTPUTS})
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:${name}> ${RAVLIN_APP_DIR} ${GEN_ARGS}
    DEPENDS ${name}
    COMMENT "Generating media with ${name}"
    VERBATIM)
  add_custom_target(${name}_media DEPENDS ${outputs})
  add_dependencies(ravlin_media ${name}_media)
endfunction()
