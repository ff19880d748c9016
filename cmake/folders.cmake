# A library per source folder. The target's name comes from the folder:
# src/engine/model -> marimba_engine_model, mediaengine/disc -> mediaengine_disc.

function(marimba_folder_target out dir)
  string(REGEX REPLACE "^src/" "marimba_" name "${dir}")
  string(REGEX REPLACE "^mediaengine/" "mediaengine_" name "${name}")
  string(REPLACE "/" "_" name "${name}")
  set(${out} ${name} PARENT_SCOPE)
endfunction()

# marimba_folder(DIR [USES folder...] [SYSTEM lib...] [PROGRAMS file...])
# Builds every .cpp and .c directly in DIR (PROGRAMS are the main files of
# executables that live there), linked to the libraries of the folders it includes. A
# folder without sources becomes an INTERFACE library, and turns into a static
# one by itself once a .cpp appears (the glob is re-checked on every build).
function(marimba_folder dir)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "USES;SYSTEM;PROGRAMS")
  marimba_folder_target(target ${dir})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp
       ${CMAKE_SOURCE_DIR}/${dir}/*.c)
  set(programs "")
  foreach(program ${arg_PROGRAMS})
    list(APPEND programs ${CMAKE_SOURCE_DIR}/${dir}/${program})
  endforeach()
  if(programs)
    list(REMOVE_ITEM sources ${programs})
  endif()
  set_property(GLOBAL APPEND PROPERTY MARIMBA_COVERED_SOURCES ${sources} ${programs})

  set(uses "")
  foreach(used ${arg_USES})
    marimba_folder_target(used_target ${used})
    list(APPEND uses ${used_target})
  endforeach()
  if(dir MATCHES "^mediaengine/")
    set(include_root ${CMAKE_SOURCE_DIR})
  else()
    set(include_root ${CMAKE_SOURCE_DIR}/src)
  endif()

  if(sources)
    add_library(${target} STATIC ${sources})
    set(scope PUBLIC)
    marimba_warnings(${target})
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope} ${include_root})
  target_link_libraries(${target} ${scope} ${uses} ${arg_SYSTEM})
endfunction()

# An INTERFACE library that stands for a list of folder libraries.
function(marimba_umbrella name)
  add_library(${name} INTERFACE)
  foreach(dir ${ARGN})
    marimba_folder_target(target ${dir})
    target_link_libraries(${name} INTERFACE ${target})
  endforeach()
endfunction()

# Fails the configure step when a .cpp at any depth of src/ or mediaengine/ is
# built by no folder library, instead of leaving it out silently (win32/
# folders count only in the cross tree, which builds them).
function(marimba_check_folders_covered)
  file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/mediaengine/*.cpp
    ${CMAKE_SOURCE_DIR}/src/*.c ${CMAKE_SOURCE_DIR}/mediaengine/*.c)
  if(NOT WIN32)
    list(FILTER all_sources EXCLUDE REGEX "/win32/")
  endif()
  get_property(covered GLOBAL PROPERTY MARIMBA_COVERED_SOURCES)
  if(covered)
    list(REMOVE_ITEM all_sources ${covered})
  endif()
  if(all_sources)
    list(JOIN all_sources "\n  " missing)
    message(FATAL_ERROR "No folder library builds these sources; declare their folder "
      "with marimba_folder() in CMakeLists.txt (or cmake/win32.cmake):\n  ${missing}")
  endif()
endfunction()
