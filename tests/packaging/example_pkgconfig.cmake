# Builds examples/hello.c from outside the source tree with the compiler and
# the flags pkg-config gives for the installed vorlin.pc, against the shared
# library (hello-pc, RUNPATH from the .pc's libdir) and the static one
# (hello-pc-static, pkg-config --static, runs with no library path), and
# runs both.  pkg-config is Debian's package pkgconf: without it the test is
# skipped, except in CI (CI=true), where it fails.
include(${CMAKE_CURRENT_LIST_DIR}/common.cmake.inc)
require_installed_tree()

find_program(PKG_CONFIG NAMES pkgconf pkg-config)
if(NOT PKG_CONFIG)
  if("$ENV{CI}" STREQUAL "true")
    message(FATAL_ERROR "pkg-config is required in CI but neither pkgconf nor pkg-config was found "
                        "(install the Debian package pkgconf)")
  endif()
  message(STATUS "pkg-config test skipped: neither pkgconf nor pkg-config found (Debian package pkgconf)")
  return()
endif()

# Only the installed tree: no system .pc files, nothing from the environment.
set(ENV{PKG_CONFIG_LIBDIR} ${prefix}/${LIBDIR}/pkgconfig)
unset(ENV{PKG_CONFIG_PATH})
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

run("pkg-config --modversion" COMMAND ${PKG_CONFIG} --modversion vorlin OUTPUT version)
string(STRIP "${version}" version)
if(NOT version STREQUAL VERSION)
  message(FATAL_ERROR "pkg-config reports version '${version}', expected ${VERSION}")
endif()
run("pkg-config --variable=libdir" COMMAND ${PKG_CONFIG} --variable=libdir vorlin OUTPUT libdir)
string(STRIP "${libdir}" libdir)
file(REAL_PATH "${libdir}" libdir)
if(NOT libdir STREQUAL "${prefix}/${LIBDIR}")
  message(FATAL_ERROR "vorlin.pc's libdir is ${libdir}, not the moved tree's ${prefix}/${LIBDIR}")
endif()
run("pkg-config --cflags" COMMAND ${PKG_CONFIG} --cflags vorlin OUTPUT cflags)
run("pkg-config --libs" COMMAND ${PKG_CONFIG} --libs vorlin OUTPUT libs)
run("pkg-config --static --libs" COMMAND ${PKG_CONFIG} --static --libs vorlin OUTPUT static_libs)
separate_arguments(cflags UNIX_COMMAND "${cflags}")
separate_arguments(libs UNIX_COMMAND "${libs}")
separate_arguments(static_libs UNIX_COMMAND "${static_libs}")
separate_arguments(host_flags UNIX_COMMAND "${HOST_FLAGS}")
# The static library wins over the shared one only when asked for by name.
list(TRANSFORM static_libs REPLACE "^-lvorlin$" "-l:libvorlin.a")

set(build ${WORK}/hello-pkgconfig)
file(REMOVE_RECURSE ${build})
file(MAKE_DIRECTORY ${build})
run("compiling hello-pc" COMMAND ${C_COMPILER} ${host_flags} ${cflags} ${EXAMPLES}/hello.c
    -o ${build}/hello-pc ${libs} -Wl,-rpath,${libdir})
run("compiling hello-pc-static" COMMAND ${C_COMPILER} ${host_flags} ${cflags} ${EXAMPLES}/hello.c
    -o ${build}/hello-pc-static ${static_libs})
expect_hello(${build}/hello-pc)
expect_hello(${build}/hello-pc-static)
