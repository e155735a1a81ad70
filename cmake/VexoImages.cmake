# vexo_add_images: pictures converted to VEXO arrays in C at build time.
#
#   vexo_add_images(<target> [PATH auto|predictive|fast|transform] [QUALITY n]
#                   [FAMILY 101|201] [DITHER none|ordered|floyd-steinberg]
#                   [MAX_BYTES n] FILES <pictures>...)
#
# Each picture (PNG, JPEG, BMP or PPM; a relative path is taken from the
# current source folder) becomes <stem>.c and <stem>.h, as `vexo encode
# <picture> <stem>.c` writes them, with the array named as vexo encode names
# it. The files go to ${CMAKE_CURRENT_BINARY_DIR}/vexo_images/<target>,
# which is added to the target's include path with the decoder's (the header
# includes "vexo.h"); the .c files are compiled into the target. A picture is
# converted again when it changes, and every picture when the vexo program
# does.
#
# While configuring, vexo itself checks the options (`vexo encode --dry-run`)
# and names each array, so that a mistake stops the configuration rather
# than the build, and the names follow the program's one rule. Two pictures
# whose arrays would share a name (or their macros, in capitals) on one
# target are refused, across calls too.
#
# The conversion runs the installed vexo (the imported target Vexo::vexo),
# or the program VEXO_EXECUTABLE names: a cross build whose Vexo package is
# the device's library alone names the build machine's vexo there.
include_guard(GLOBAL)

set(VEXO_EXECUTABLE "" CACHE FILEPATH
    "The vexo program vexo_add_images runs (empty: the one of the Vexo package)")

# The vexo program to run, which must exist while the project is configured.
function(_vexo_images_program out)
  if(VEXO_EXECUTABLE)
    set(${out} "${VEXO_EXECUTABLE}" PARENT_SCOPE)
    return()
  endif()
  if(TARGET Vexo::vexo)
    get_target_property(imported Vexo::vexo IMPORTED)
    if(imported)
      get_target_property(program Vexo::vexo LOCATION)
      set(${out} "${program}" PARENT_SCOPE)
      return()
    endif()
  endif()
  message(FATAL_ERROR "vexo_add_images: runs vexo while the project is configured, so it needs "
                      "an installed Vexo package with its vexo program, or VEXO_EXECUTABLE "
                      "naming one (this package is a build of the decoder alone, or vexo is "
                      "built by this same project)")
endfunction()

# The array vexo encode would make of `picture` as `source`, with `options`:
# the program's dry run, whose refusal stops the configuration, told in this
# function's words (QUALITY for --quality).
function(_vexo_images_array_name program picture source options out)
  execute_process(COMMAND "${program}" encode --dry-run ${options} "${picture}" "${source}"
                  OUTPUT_VARIABLE said ERROR_VARIABLE problem RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    string(REGEX REPLACE "^encode: " "" problem "${problem}")
    string(REGEX REPLACE "\nRun with --help[^\n]*\n?$" "" problem "${problem}")
    foreach(keyword PATH QUALITY FAMILY DITHER MAX_BYTES)
      string(TOLOWER "--${keyword}" flag)
      string(REPLACE "_" "-" flag "${flag}")
      string(REPLACE "${flag}" "${keyword}" problem "${problem}")
    endforeach()
    string(STRIP "${problem}" problem)
    message(FATAL_ERROR "vexo_add_images: ${problem}")
  endif()
  if(NOT said MATCHES "C array ([A-Za-z0-9_]+)")
    message(FATAL_ERROR "vexo_add_images: ${program} named no array for ${picture}: ${said}")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()

# Refuses a second picture of one array on `target`, in this call or an
# earlier one. The macros are the name in capitals, so they must differ too.
function(_vexo_images_claim target name picture)
  string(TOUPPER "${name}" macros)
  get_property(claimed TARGET ${target} PROPERTY _VEXO_IMAGE_MACROS)
  get_property(pictures TARGET ${target} PROPERTY _VEXO_IMAGE_PICTURES)
  list(FIND claimed "${macros}" index)
  if(index GREATER_EQUAL 0)
    list(GET pictures ${index} first)
    message(FATAL_ERROR "vexo_add_images: ${picture} and ${first} would both make the array "
                        "\"${name}\" (macros ${macros}_*) of ${target}; rename one")
  endif()
  set_property(TARGET ${target} APPEND PROPERTY _VEXO_IMAGE_MACROS "${macros}")
  set_property(TARGET ${target} APPEND PROPERTY _VEXO_IMAGE_PICTURES "${picture}")
endfunction()

function(vexo_add_images target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PATH;QUALITY;FAMILY;DITHER;MAX_BYTES" "FILES")
  set(usage "vexo_add_images(<target> [PATH auto|predictive|fast|transform] [QUALITY n] \
[FAMILY 101|201] [DITHER none|ordered|floyd-steinberg] [MAX_BYTES n] FILES <pictures>...)")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vexo_add_images: unknown arguments: ${arg_UNPARSED_ARGUMENTS}\n"
                        "Usage: ${usage}")
  endif()
  foreach(option IN LISTS arg_KEYWORDS_MISSING_VALUES)
    message(FATAL_ERROR "vexo_add_images: ${option} needs a value\nUsage: ${usage}")
  endforeach()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "vexo_add_images: \"${target}\" is not a target; create it first "
                        "(add_executable or add_library)")
  endif()
  if(NOT arg_FILES)
    message(FATAL_ERROR "vexo_add_images: no pictures; name them after FILES\nUsage: ${usage}")
  endif()

  # Passed on as vexo encode's options, which the program checks.
  set(options "")
  foreach(keyword PATH QUALITY FAMILY DITHER MAX_BYTES)
    if(DEFINED arg_${keyword})
      string(TOLOWER "--${keyword}" flag)
      string(REPLACE "_" "-" flag "${flag}")
      list(APPEND options ${flag} ${arg_${keyword}})
    endif()
  endforeach()
  _vexo_images_program(vexo)

  # The arrays compile as C and as C++: a project without C compiles them
  # as C++.
  get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
  set(language C)
  if(NOT "C" IN_LIST languages)
    set(language CXX)
  endif()

  set(folder "${CMAKE_CURRENT_BINARY_DIR}/vexo_images/${target}")
  file(MAKE_DIRECTORY "${folder}")
  set(sources "")
  foreach(picture IN LISTS arg_FILES)
    get_filename_component(picture "${picture}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    get_filename_component(file_name "${picture}" NAME)
    if(NOT file_name MATCHES "\\.([Pp][Nn][Gg]|[Jj][Pp][Ee]?[Gg]|[Bb][Mm][Pp]|[Pp][Pp][Mm])$")
      message(FATAL_ERROR "vexo_add_images: ${picture} is not a PNG, JPEG, BMP or PPM picture "
                          "(.png, .jpg, .jpeg, .bmp, .ppm)")
    endif()
    if(NOT EXISTS "${picture}" OR IS_DIRECTORY "${picture}")
      message(FATAL_ERROR "vexo_add_images: no picture ${picture}")
    endif()
    get_filename_component(stem "${picture}" NAME_WLE)
    set(source "${folder}/${stem}.c")
    _vexo_images_array_name("${vexo}" "${picture}" "${source}" "${options}" name)
    _vexo_images_claim(${target} "${name}" "${picture}")

    add_custom_command(
      OUTPUT "${source}" "${folder}/${stem}.h"
      COMMAND "${vexo}" encode "${picture}" "${source}" ${options}
      DEPENDS "${picture}" "${vexo}"
      COMMENT "Converting ${file_name} to ${stem}.c and ${stem}.h"
      VERBATIM)
    list(APPEND sources "${source}")
  endforeach()

  set_source_files_properties(${sources} TARGET_DIRECTORY ${target} PROPERTIES LANGUAGE ${language})
  target_sources(${target} PRIVATE ${sources})
  target_include_directories(${target} PUBLIC "$<BUILD_INTERFACE:${folder}>")
  if(TARGET Vexo::decoder)
    target_include_directories(
      ${target} PUBLIC "$<BUILD_INTERFACE:$<TARGET_PROPERTY:Vexo::decoder,INTERFACE_INCLUDE_DIRECTORIES>>")
  endif()
endfunction()
