# Installation and the package files a host builds against:
#   <prefix>/include/vorlin.h                    the public header (the only one)
#   <prefix>/<libdir>/libvorlin.so.<version>     the shared library, its soname link
#                                                and its development link
#   <prefix>/<libdir>/libvorlin.a                the static library
#   <prefix>/<bindir>/vorlin                     the command-line host
#   <prefix>/<libdir>/cmake/vorlin/              find_package(vorlin CONFIG): imported
#                                                targets vorlin::vorlin (shared) and
#                                                vorlin::vorlin_static
#   <prefix>/<libdir>/pkgconfig/vorlin.pc        pkg-config
# Every installed path is relative to the prefix, so an installed tree may
# be moved or installed elsewhere with `cmake --install --prefix`.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The version macros of the public header must be the project's version: a
# host that reads only the installed header sees the same number as the
# package files and the soname.
set(vorlin_header ${PROJECT_SOURCE_DIR}/include/vorlin.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${vorlin_header})
file(STRINGS ${vorlin_header} vorlin_version_lines REGEX "^#define VORLIN_VERSION")
foreach(part MAJOR MINOR PATCH)
  set(header_${part} "")
  foreach(line IN LISTS vorlin_version_lines)
    if(line MATCHES "^#define VORLIN_VERSION_${part} +([0-9]+)$")
      set(header_${part} ${CMAKE_MATCH_1})
    endif()
  endforeach()
endforeach()
set(header_string "")
foreach(line IN LISTS vorlin_version_lines)
  if(line MATCHES "^#define VORLIN_VERSION +\"([^\"]*)\"$")
    set(header_string ${CMAKE_MATCH_1})
  endif()
endforeach()
if(NOT header_MAJOR STREQUAL PROJECT_VERSION_MAJOR OR NOT header_MINOR STREQUAL PROJECT_VERSION_MINOR
   OR NOT header_PATCH STREQUAL PROJECT_VERSION_PATCH OR NOT header_string STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "include/vorlin.h declares version \"${header_string}\" "
          "(${header_MAJOR}.${header_MINOR}.${header_PATCH}) but the project is ${PROJECT_VERSION}: "
          "update VORLIN_VERSION_MAJOR/MINOR/PATCH and VORLIN_VERSION together with project()")
endif()

# Installed hosts find the header in <prefix>/include.
target_include_directories(vorlin PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_include_directories(vorlin_static PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

# The static library is C++ code that uses the maths library: a host linked
# by the C driver (a C project) needs the C++ runtime and libm named.
if(NOT MSVC)
  target_link_libraries(vorlin_static INTERFACE
    "$<INSTALL_INTERFACE:$<$<LINK_LANGUAGE:C>:stdc++>>" "$<INSTALL_INTERFACE:$<$<LINK_LANGUAGE:C>:m>>")
endif()

install(TARGETS vorlin vorlin_static EXPORT vorlinTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${vorlin_header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(TARGET vorlin_cli)
  install(TARGETS vorlin_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(shell ${PROJECT_BINARY_DIR}/cli/shell)
  install(FILES ${shell}/vorlin.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${shell}/vorlin.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME vorlin)
  install(FILES ${shell}/_vorlin DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/site-functions)
  install(FILES ${shell}/vorlin.fish DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
endif()

# CMake package.  The version file accepts requests for the same major
# version, as the soname does.
set(vorlin_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/vorlin)
install(EXPORT vorlinTargets NAMESPACE vorlin:: DESTINATION ${vorlin_cmake_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/vorlinConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/package/vorlinConfig.cmake
                              INSTALL_DESTINATION ${vorlin_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/vorlinConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/vorlinConfig.cmake
              ${PROJECT_BINARY_DIR}/package/vorlinConfigVersion.cmake
        DESTINATION ${vorlin_cmake_dir})

# pkg-config.  The prefix is found from the .pc file's own place
# (${pcfiledir}), which keeps an installed tree relocatable.
set(vorlin_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE ${vorlin_pc_dir})
  set(VORLIN_PC_PREFIX ${CMAKE_INSTALL_PREFIX})
else()
  file(RELATIVE_PATH vorlin_pc_up /prefix/${vorlin_pc_dir} /prefix)
  string(REGEX REPLACE "/$" "" vorlin_pc_up "${vorlin_pc_up}")
  set(VORLIN_PC_PREFIX "\${pcfiledir}/${vorlin_pc_up}")
endif()
foreach(dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE ${CMAKE_INSTALL_${dir}})
    set(VORLIN_PC_${dir} ${CMAKE_INSTALL_${dir}})
  else()
    set(VORLIN_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
# A host linking the static library (pkg-config --static) also needs the
# C++ runtime and the maths library the library's code uses.
set(VORLIN_PC_LIBS_PRIVATE "-lstdc++ -lm")
configure_file(${PROJECT_SOURCE_DIR}/cmake/vorlin.pc.in ${PROJECT_BINARY_DIR}/package/vorlin.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/vorlin.pc DESTINATION ${vorlin_pc_dir})
