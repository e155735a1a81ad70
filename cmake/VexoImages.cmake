# vexo_add_images: pictures converted to VEXO arrays in C at build time.
#
#   vexo_add_images(<target> [PATH auto|predictive|fast|transform] [QUALITY n]
#                   [FAMILY 101|201] [DITHER none|ordered|floyd-steinberg]
#                   [MAX_BYTES n] FILES <pictures>...)
#
# Each picture (PNG, JPEG, BMP or PPM; a relative path is taken from the
# current source folder) becomes <stem>.c and <stem>.h, as `vexo encode
# <picture> <stem>.c` writes them: the array is named after the stem, every
# character outside A-Z, a-z, 0-9 and _ made _, with _ before a leading
# digit. The files go to ${CMAKE_CURRENT_BINARY_DIR}/vexo_images/<target>,
# which is added to the target's include path; the .c files are compiled
# into the target. A picture is converted again when it changes, and every
# picture when the vexo program does.
#
# The conversion runs the installed vexo (the imported target Vexo::vexo),
# or the program VEXO_EXECUTABLE names: a cross build whose Vexo package is
# the device's library alone names the build machine's vexo there.
include_guard(GLOBAL)

set(VEXO_EXECUTABLE "" CACHE FILEPATH
    "The vexo program vexo_add_images runs (empty: the one of the Vexo package)")

# In vexo_add_images: appends FLAG and the value of argument NAME to
# `options` when the caller gave it, after checking the value against
# PATTERN; MUST says what the value must be.
macro(_vexo_images_option name flag pattern must)
  if(DEFINED arg_${name})
    if(NOT arg_${name} MATCHES "${pattern}")
      message(FATAL_ERROR "vexo_add_images: ${name} is \"${arg_${name}}\"; it must be ${must}")
    endif()
    list(APPEND options ${flag} ${arg_${name}})
  endif()
endmacro()

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

  # The options of vexo encode, checked here so that a mistake stops the
  # configuration rather than the build.
  set(options "")
  _vexo_images_option(PATH --path "^(auto|predictive|fast|transform)$"
                      "auto, predictive, fast or transform")
  _vexo_images_option(QUALITY --quality "^0*([0-9]|[1-4][0-9]|5[01])$"
                      "a number from 0 to 51 (0 to 2 on the predictive and fast paths)")
  _vexo_images_option(FAMILY --family "^(101|201)$" "101 or 201")
  _vexo_images_option(DITHER --dither "^(none|ordered|floyd-steinberg)$"
                      "none, ordered or floyd-steinberg")
  _vexo_images_option(MAX_BYTES --max-bytes "^[1-9][0-9]*$" "a number of bytes above 0")

  if(DEFINED arg_QUALITY AND ("${arg_PATH}" STREQUAL "auto" OR DEFINED arg_MAX_BYTES))
    message(FATAL_ERROR "vexo_add_images: QUALITY cannot be given with PATH auto or MAX_BYTES, "
                        "which choose the quality")
  endif()
  if(("${arg_PATH}" STREQUAL "fast" AND "${arg_FAMILY}" STREQUAL "101") OR
     ("${arg_PATH}" STREQUAL "transform" AND "${arg_FAMILY}" STREQUAL "201"))
    message(FATAL_ERROR "vexo_add_images: PATH ${arg_PATH} is not in FAMILY ${arg_FAMILY} "
                        "(fast is family 201 only, transform family 101 only)")
  endif()

  if(VEXO_EXECUTABLE)
    set(vexo "${VEXO_EXECUTABLE}")
  elseif(TARGET Vexo::vexo)
    set(vexo "$<TARGET_FILE:Vexo::vexo>")
  else()
    message(FATAL_ERROR "vexo_add_images: this Vexo package has no vexo program (a build of "
                        "the decoder alone); set VEXO_EXECUTABLE to the vexo program to run")
  endif()

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
  set(names "")
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
    # The array's name, by the same rule as vexo encode's for ASCII names.
    string(MAKE_C_IDENTIFIER "${stem}" name)
    if(name IN_LIST names)
      message(FATAL_ERROR "vexo_add_images: two pictures of ${target} would make the array "
                          "\"${name}\" (${picture} is the second); rename one")
    endif()
    list(APPEND names "${name}")

    set(source "${folder}/${stem}.c")
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
endfunction()
