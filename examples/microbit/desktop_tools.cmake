# Brings the desktop programs the micro:bit build runs up to date: vexo and
# microbit_pictures, in a build of the toolkit for the build machine. When
# that build is the default preset's folder and is not configured yet, it
# configures it as `cmake --preset default` does.
#
#   cmake -DTOOLKIT=<source folder> -DDESKTOP_BUILD=<build folder> -P desktop_tools.cmake
if(NOT EXISTS ${DESKTOP_BUILD}/CMakeCache.txt)
  if(NOT DESKTOP_BUILD STREQUAL "${TOOLKIT}/build")
    message(FATAL_ERROR "${DESKTOP_BUILD} is not a configured build of the toolkit")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --preset default WORKING_DIRECTORY ${TOOLKIT}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${DESKTOP_BUILD} --parallel 2 --target vexo
                        microbit_pictures COMMAND_ERROR_IS_FATAL ANY)
