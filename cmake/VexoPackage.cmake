# What `cmake --install` puts in place: the programs, and for developers the
# decoder library with its public headers, a CMake package
# (find_package(Vexo) gives Vexo::decoder, Vexo::vexo and vexo_add_images)
# and a pkg-config file (vexo).
include(CMakePackageConfigHelpers)

# The programs, where this build makes them (not in a decoder-only build).
# vexo is also Vexo::vexo, which vexo_add_images (VexoImages.cmake) runs.
foreach(program byteloom OrvaneDecoder)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET vexo)
  install(TARGETS vexo EXPORT VexoTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(VEXO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vexo)
install(TARGETS vexo_decoder EXPORT VexoTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/decoder/include/vexo.h
              ${PROJECT_SOURCE_DIR}/decoder/include/vexo_classic.h
              ${PROJECT_SOURCE_DIR}/decoder/include/vexo_decoder.h
              ${PROJECT_SOURCE_DIR}/decoder/include/vexo_header.h
              ${PROJECT_SOURCE_DIR}/decoder/include/vexo_status.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexo)
install(EXPORT VexoTargets NAMESPACE Vexo:: DESTINATION ${VEXO_CMAKE_DIR})

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VexoConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/VexoConfig.cmake
                              INSTALL_DESTINATION ${VEXO_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VexoConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VexoConfig.cmake ${PROJECT_BINARY_DIR}/VexoConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/VexoImages.cmake
        DESTINATION ${VEXO_CMAKE_DIR})

# The same package for this build tree, before anything is installed: the
# examples are projects that find the toolkit with find_package(Vexo), and
# the build builds them against it (find_package(Vexo) with
# Vexo_DIR=<build>/package).
if(TARGET vexo)
  export(TARGETS vexo_decoder vexo vexo_kernels vexo_compile_options vexo_speed_options
                 vexo_size_options
         NAMESPACE Vexo:: FILE ${PROJECT_BINARY_DIR}/package/VexoTargets.cmake)
  file(WRITE ${PROJECT_BINARY_DIR}/package/VexoConfig.cmake
       "include(\"\${CMAKE_CURRENT_LIST_DIR}/VexoTargets.cmake\")\n"
       "include(\"${CMAKE_CURRENT_LIST_DIR}/VexoImages.cmake\")\n")
  file(COPY ${PROJECT_BINARY_DIR}/VexoConfigVersion.cmake DESTINATION ${PROJECT_BINARY_DIR}/package)
endif()

# pkg-config paths relative to its own prefix, so the file stays right when
# the tree is installed with a different --prefix or DESTDIR.
set(prefix "@prefix@")  # filled in at install time
configure_file(${CMAKE_CURRENT_LIST_DIR}/vexo.pc.in ${PROJECT_BINARY_DIR}/vexo.pc.in @ONLY)
# A relative --prefix is taken from the folder `cmake --install` runs in.
install(CODE "
  get_filename_component(prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
  configure_file(\"${PROJECT_BINARY_DIR}/vexo.pc.in\" \"${PROJECT_BINARY_DIR}/vexo.pc\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/vexo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
