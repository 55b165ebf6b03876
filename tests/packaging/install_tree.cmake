# Installs the build into a staging prefix, moves it elsewhere, and checks
# the installed tree: the files a host needs are there, the internal headers
# are not, no installed text names the build, the source or the staging
# directory (the package is relocatable), and the installed CLI runs.
include(${CMAKE_CURRENT_LIST_DIR}/common.cmake.inc)

set(stage ${WORK}/stage)
file(REMOVE_RECURSE ${stage} ${prefix})
run("cmake --install" COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${stage} --config ${CONFIG})
file(RENAME ${stage} ${prefix})

string(REGEX MATCH "^[0-9]+" major "${VERSION}")
set(expected
  ${INCLUDEDIR}/vorlin.h
  ${LIBDIR}/libvorlin.so ${LIBDIR}/libvorlin.so.${major} ${LIBDIR}/libvorlin.so.${VERSION}
  ${LIBDIR}/libvorlin.a
  ${BINDIR}/vorlin
  ${LIBDIR}/cmake/vorlin/vorlinConfig.cmake ${LIBDIR}/cmake/vorlin/vorlinConfigVersion.cmake
  ${LIBDIR}/cmake/vorlin/vorlinTargets.cmake
  ${LIBDIR}/pkgconfig/vorlin.pc
  share/man/man1/vorlin.1 share/bash-completion/completions/vorlin share/zsh/site-functions/_vorlin
  share/fish/vendor_completions.d/vorlin.fish)
foreach(file IN LISTS expected)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
# The development link and the soname link lead to the versioned file.
foreach(link libvorlin.so libvorlin.so.${major})
  if(NOT IS_SYMLINK ${prefix}/${LIBDIR}/${link})
    message(FATAL_ERROR "${LIBDIR}/${link} is not a symbolic link")
  endif()
endforeach()
file(REAL_PATH ${prefix}/${LIBDIR}/libvorlin.so target)
if(NOT target STREQUAL "${prefix}/${LIBDIR}/libvorlin.so.${VERSION}")
  message(FATAL_ERROR "libvorlin.so leads to ${target}, not libvorlin.so.${VERSION}")
endif()

# vorlin.h is the only header: the library's internal headers stay private.
file(GLOB_RECURSE headers RELATIVE ${prefix} ${prefix}/*.h ${prefix}/*.hpp ${prefix}/*.inc)
if(NOT headers STREQUAL "${INCLUDEDIR}/vorlin.h")
  message(FATAL_ERROR "installed headers: ${headers}; expected only ${INCLUDEDIR}/vorlin.h")
endif()

# No absolute path of this machine's build in the package files.
file(GLOB_RECURSE texts ${prefix}/${LIBDIR}/cmake/*.cmake ${prefix}/${LIBDIR}/pkgconfig/*.pc)
foreach(text IN LISTS texts)
  file(READ ${text} content)
  foreach(path ${stage} ${BUILD_DIR} ${SOURCE_DIR})
    string(FIND "${content}" "${path}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${text} names ${path}: the installed package is not relocatable")
    endif()
  endforeach()
endforeach()

# The installed command-line host works on its own.
run("installed vorlin" COMMAND ${prefix}/${BINDIR}/vorlin qibla 2000-01-01 --name London
                                --lat 51.5 --lon -0.1 --height 0 OUTPUT out)
if(NOT out MATCHES "^Qibla from London .*\nDirection:   118\\.95 deg")
  message(FATAL_ERROR "installed vorlin printed:\n${out}")
endif()
message(STATUS "installed and moved to ${prefix}: ${expected}")
