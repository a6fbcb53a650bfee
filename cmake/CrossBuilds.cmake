# The two Windows builds of this same tree, driven from the native build so
# that one `cmake --build` makes the native libraries, Pallowin.spi (i686),
# Pallowin.sph (x86_64) and the Windows test programs. Afterwards:
#   PALLOWIN_CROSS        the cross builds are part of this build
#   PALLOWIN_WIN32_DIR    build tree of the i686 cross build
#   PALLOWIN_WIN64_DIR    build tree of the x86_64 cross build
#   PALLOWIN_WINE_TESTS   Windows tests run under wine64 in CTest
include(ExternalProject)

find_program(PALLOWIN_MINGW32_CXX i686-w64-mingw32-g++)
find_program(PALLOWIN_MINGW64_CXX x86_64-w64-mingw32-g++)
if(PALLOWIN_MINGW32_CXX AND PALLOWIN_MINGW64_CXX)
  set(cross_default ON)
else()
  set(cross_default OFF)
endif()
option(PALLOWIN_CROSS "Build the Windows plug-ins with MinGW-w64" ${cross_default})

set(PALLOWIN_WINE64 /usr/lib/wine/wine64 CACHE FILEPATH "wine64 loader for the Windows tests")
set(PALLOWIN_WIN32_DIR ${CMAKE_BINARY_DIR}/win32)
set(PALLOWIN_WIN64_DIR ${CMAKE_BINARY_DIR}/win64)

if(PALLOWIN_CROSS)
  foreach(arch i686 x86_64)
    if(arch STREQUAL i686)
      set(dir ${PALLOWIN_WIN32_DIR})
      set(target pallowin_win32)
    else()
      set(dir ${PALLOWIN_WIN64_DIR})
      set(target pallowin_win64)
    endif()
    # BUILD_ALWAYS: the sub-build decides itself what is out of date, so an
    # edit anywhere in the tree rebuilds the DLLs.
    ExternalProject_Add(${target}
      SOURCE_DIR ${PROJECT_SOURCE_DIR}
      BINARY_DIR ${dir}
      PREFIX ${CMAKE_BINARY_DIR}/cross-stamps/${arch}
      DOWNLOAD_COMMAND ""
      UPDATE_COMMAND ""
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchain-${arch}-mingw.cmake
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE})
  endforeach()
endif()

if(PALLOWIN_CROSS AND EXISTS ${PALLOWIN_WINE64})
  set(PALLOWIN_WINE_TESTS ON)
else()
  set(PALLOWIN_WINE_TESTS OFF)
endif()

if(PALLOWIN_WINE_TESTS)
  # Makes the wine prefix once; every wine test requires this fixture.
  add_test(NAME wine.prefix COMMAND ${PROJECT_SOURCE_DIR}/scripts/run-wine.sh --init)
  set_tests_properties(wine.prefix PROPERTIES
    LABELS wine FIXTURES_SETUP wineprefix TIMEOUT 600
    ENVIRONMENT "PALLOWIN_BUILD=${CMAKE_BINARY_DIR}")
  # Ends the wine server (and any wine process left over) after the tests.
  add_test(NAME wine.stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/run-wine.sh --stop)
  set_tests_properties(wine.stop PROPERTIES
    LABELS wine FIXTURES_CLEANUP wineprefix
    ENVIRONMENT "PALLOWIN_BUILD=${CMAKE_BINARY_DIR}")
endif()
