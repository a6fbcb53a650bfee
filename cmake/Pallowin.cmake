# Adds every subfolder of `parent` that has a CMakeLists.txt, so each area
# keeps its own tests without touching a shared list.
function(pallowin_add_subdirs parent)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/${parent}
       CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${parent}/*/CMakeLists.txt)
  list(SORT children)
  foreach(child ${children})
    get_filename_component(dir ${child} DIRECTORY)
    add_subdirectory(${parent}/${dir})
  endforeach()
endfunction()

# A native GoogleTest program from the given sources, its cases in CTest.
function(pallowin_native_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  # A hung case fails in two minutes instead of stalling the whole run.
  # NO_PRETTY_VALUES: the cases are named already; a parameter printed as
  # bytes only makes the names unreadable.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                       PROPERTIES LABELS native TIMEOUT 120)
endfunction()

# A Windows test program. In the x86_64 cross build it is compiled; in the
# native build it becomes a CTest test that runs it under wine64 (when the
# cross build and wine64 are there). ARGS are passed to the program;
# PROPERTIES are set on the CTest test.
function(pallowin_windows_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ARGS;PROPERTIES" ${ARGN})
  if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      add_executable(${name} ${T_SOURCES})
      target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
      target_link_libraries(${name} PRIVATE ${T_LIBS})
      target_link_options(${name} PRIVATE -static)
      # The plug-in under test lies next to the program, so a test loads it
      # by a path of its own (wincheck::PluginPath). The copy follows every
      # rebuild of the plug-in, not only relinks of the program; one copy
      # serves all the programs of a folder.
      if(TARGET pallowin_dll)
        string(MD5 folder_key "${CMAKE_CURRENT_BINARY_DIR}")
        set(copy_target pallowin_dll_copy_${folder_key})
        if(NOT TARGET ${copy_target})
          add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/Pallowin.sph
            COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:pallowin_dll> ${CMAKE_CURRENT_BINARY_DIR}
            DEPENDS pallowin_dll
            COMMENT "Copying the plug-in next to the tests in ${CMAKE_CURRENT_BINARY_DIR}")
          add_custom_target(${copy_target} ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/Pallowin.sph)
        endif()
        add_dependencies(${name} ${copy_target})
      endif()
    endif()
  elseif(PALLOWIN_WINE_TESTS)
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    add_test(NAME wine.${name}
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/run-wine.sh
                     ${PALLOWIN_WIN64_DIR}/${rel}/${name}.exe ${T_ARGS})
    # TIMEOUT first, so a test's own PROPERTIES can raise it.
    set_tests_properties(wine.${name} PROPERTIES TIMEOUT 120 LABELS wine FIXTURES_REQUIRED wineprefix
                         ENVIRONMENT "PALLOWIN_BUILD=${CMAKE_BINARY_DIR};PALLOWIN_WIN64_DIR=${PALLOWIN_WIN64_DIR}"
                         ${T_PROPERTIES})
  endif()
endfunction()
