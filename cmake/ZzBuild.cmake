# Conventions shared by every folder of the project.
#
#   zz_add_gtest(NAME name SOURCES ... [LIBS ...] [DATA files...] [SCREEN])
#       A GoogleTest program and one ctest entry for it (Wine runs it in the
#       Windows build). DATA files are copied beside the program. SCREEN:
#       it shows windows, so it takes the screen in turn with the others.
#   zz_add_script_test(NAME name SCRIPT file [ARGS ...])
#       A bash scenario (Windows build only), run with ZZ_WINE_RUN, ZZ_BIN
#       and ZZ_SOURCE in its environment. Scenarios show windows and take
#       screenshots: they always take the screen in turn.
#   zz_embed_manifest(target script)
#       The resource script of a shipped program names the application
#       manifest (requires_administrator.manifest, beside this file) as
#       resource 1 of type 24: it is found through the target's include
#       folders, and the script is compiled again when the manifest changes.
#
# Windows of tests running side by side on the one Xvfb screen would cover
# each other in the screenshots and take each other's focus.

function(zz_add_gtest)
  cmake_parse_arguments(T "SCREEN" "NAME" "SOURCES;LIBS;DATA" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  foreach(f ${T_DATA})
    get_filename_component(base ${f} NAME)
    add_custom_command(TARGET ${T_NAME} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} $<TARGET_FILE_DIR:${T_NAME}>/${base})
  endforeach()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 600)
  if(T_SCREEN AND WIN32)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK xvfb_screen)
  endif()
endfunction()

function(zz_add_script_test)
  cmake_parse_arguments(T "" "NAME;SCRIPT" "ARGS;DEPENDS" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  add_test(NAME ${T_NAME} COMMAND bash ${T_SCRIPT} ${T_ARGS})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 900 RESOURCE_LOCK xvfb_screen
    ENVIRONMENT "ZZ_WINE_RUN=${ZZ_WINE_RUN};ZZ_BIN=${CMAKE_BINARY_DIR}/bin;ZZ_SOURCE=${CMAKE_SOURCE_DIR};ZZ_TOOLS=${CMAKE_SOURCE_DIR}/tools")
endfunction()

set(ZZ_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/requires_administrator.manifest)
function(zz_embed_manifest target script)
  get_filename_component(folder ${ZZ_MANIFEST} DIRECTORY)
  target_include_directories(${target} PRIVATE ${folder})
  set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS ${ZZ_MANIFEST})
endfunction()
