# Builds examples/ from outside the source tree against the installed
# package with find_package(vorlin CONFIG) and runs both hosts: hello (shared
# library, found through the RUNPATH CMake records) and hello_static (static
# library, linked by the C driver, runs with no library path at all).  Also checks that the package
# version file accepts the project's major version and refuses another.
include(${CMAKE_CURRENT_LIST_DIR}/common.cmake.inc)
require_installed_tree()

set(build ${WORK}/hello-cmake)
file(REMOVE_RECURSE ${build})
run("configuring examples" COMMAND ${CMAKE_COMMAND} -S ${EXAMPLES} -B ${build} -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
    -DCMAKE_C_COMPILER=${C_COMPILER}
    -DCMAKE_BUILD_TYPE=Release "-DCMAKE_C_FLAGS=${HOST_FLAGS}")
file(STRINGS ${build}/CMakeCache.txt found REGEX "^vorlin_DIR:")
if(NOT found STREQUAL "vorlin_DIR:PATH=${prefix}/${LIBDIR}/cmake/vorlin")
  message(FATAL_ERROR "find_package(vorlin) used ${found}, not the installed tree ${prefix}")
endif()
run("building examples" COMMAND ${CMAKE_COMMAND} --build ${build})
expect_hello(${build}/hello)
expect_hello(${build}/hello_static)

# Version requests: the same major version is found, another one is not.
set(probe ${WORK}/version-probe)
file(REMOVE_RECURSE ${probe})
file(WRITE ${probe}/CMakeLists.txt [[
cmake_minimum_required(VERSION 3.25)
project(probe NONE)
find_package(vorlin ${REQUEST} CONFIG QUIET)
message(STATUS "found=${vorlin_FOUND} version=${vorlin_VERSION}")
]])
string(REGEX MATCH "^[0-9]+" major "${VERSION}")
math(EXPR other "${major} + 1")
foreach(request ${major} ${VERSION} ${other})
  run("find_package(vorlin ${request})" COMMAND ${CMAKE_COMMAND} -S ${probe} -B ${probe}/build-${request}
      -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DREQUEST=${request} OUTPUT out)
  if(request STREQUAL other)
    set(want "found=0 version=")
  else()
    set(want "found=1 version=${VERSION}")
  endif()
  if(NOT out MATCHES "-- ${want}\n")
    message(FATAL_ERROR "find_package(vorlin ${request}): expected '${want}', got\n${out}")
  endif()
endforeach()
