# Cross tree: the Win32 shell, Marimba.exe and the Win32 tests run under Wine.

# Windows path of a Linux path as Wine's Z: drive sees it.
function(marimba_wine_path out path)
  string(REPLACE "/" "\\" windows "${path}")
  set(${out} "Z:${windows}" PARENT_SCOPE)
endfunction()

# The Win32 folders, each just above its portable folder, with the system
# libraries they call.
marimba_folder(src/os/win32 USES src/os SYSTEM advapi32 shell32 user32)
marimba_folder(src/resources/win32 USES src/resources SYSTEM user32)
marimba_folder(src/ui/win32 USES src/os/win32 src/resources src/ui SYSTEM gdi32 user32)
marimba_folder(mediaengine/win32 USES mediaengine/codec mediaengine/player src/os/win32
  SYSTEM user32)
marimba_folder(src/engine/win32 USES mediaengine/player mediaengine/win32 src/engine
  src/engine/model src/os src/os/win32 src/resources SYSTEM ole32 oleaut32 shell32 user32 uuid)
marimba_folder(src/device/win32)
marimba_folder(src/controller/win32 USES src/cdrom src/common src/controller src/device
  src/engine src/engine/win32 src/os src/resources src/ui src/ui/win32
  SYSTEM gdi32 user32)
marimba_folder(src/app/win32 USES src/app src/controller/win32 src/os/win32 src/resources/win32
  SYSTEM comctl32 ole32 user32 PROGRAMS winmain.cpp)
marimba_umbrella(marimba_win32 src/os/win32 src/resources/win32 src/ui/win32
  mediaengine/win32 src/engine/win32 src/device/win32 src/controller/win32 src/app/win32)
target_link_libraries(marimba_win32 INTERFACE marimba_mediaengine marimba_core)

# The manifest carries the product version of src/resources/version.h, the
# only place it is written; the resource script finds it in the build tree.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/resources/version.h MARIMBA_VERSION_LINES
  REGEX "^#define MARIMBA_VERSION_(MAJOR|MINOR|PATCH) [0-9]+$")
foreach(line ${MARIMBA_VERSION_LINES})
  string(REGEX REPLACE "^#define MARIMBA_VERSION_([A-Z]+) ([0-9]+)$" "\\1;\\2" pair "${line}")
  list(GET pair 0 part)
  list(GET pair 1 number)
  set(MARIMBA_VERSION_${part} ${number})
endforeach()
set(MARIMBA_VERSION
  ${MARIMBA_VERSION_MAJOR}.${MARIMBA_VERSION_MINOR}.${MARIMBA_VERSION_PATCH})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/resources/version.h)
set(MARIMBA_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/src/resources/Marimba.exe.manifest.in
  ${MARIMBA_GENERATED_DIR}/Marimba.exe.manifest @ONLY)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${MARIMBA_GENERATED_DIR}")

set(MARIMBA_RC ${CMAKE_SOURCE_DIR}/src/resources/Marimba.rc)
file(GLOB_RECURSE MARIMBA_RC_DEPENDS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/resources/*)
set_source_files_properties(${MARIMBA_RC} PROPERTIES OBJECT_DEPENDS "${MARIMBA_RC_DEPENDS}")

add_executable(Marimba WIN32 ${CMAKE_SOURCE_DIR}/src/app/win32/winmain.cpp ${MARIMBA_RC})
target_link_libraries(Marimba PRIVATE marimba_app_win32 -municode)
marimba_warnings(Marimba)

# ---- Maker library stand-ins -------------------------------------------
# PlatDevice.dll and PlatNt.dll are loaded by name at run time, so they are
# built beside Marimba.exe and the test executables, with the exact export
# names of their .def files (no decoration).
set(MARIMBA_MAKERLIB_DIR ${CMAKE_SOURCE_DIR}/makerlibs)
add_library(PlatDevice SHARED ${MARIMBA_MAKERLIB_DIR}/platdevice.c
            ${CMAKE_SOURCE_DIR}/mediaengine/devices/player_inf.c ${MARIMBA_MAKERLIB_DIR}/platdevice.def)
target_include_directories(PlatDevice PRIVATE ${CMAKE_SOURCE_DIR})
add_library(PlatNt SHARED ${MARIMBA_MAKERLIB_DIR}/platnt.c ${MARIMBA_MAKERLIB_DIR}/platnt.def)
foreach(makerlib PlatDevice PlatNt)
  set_target_properties(${makerlib} PROPERTIES PREFIX "" OUTPUT_NAME ${makerlib}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_compile_options(${makerlib} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
  target_link_libraries(${makerlib} PRIVATE advapi32)
endforeach()
# Marimba.exe (and through it every test executable) needs both beside it.
add_dependencies(Marimba PlatDevice PlatNt)
# ---- end of the maker library stand-ins --------------------------------

# GoogleTest from Debian's sources, built with MinGW.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The throw-away Wine prefix every Win32 test runs in: a CD-ROM drive D:
# labelled MUSIC and a removable drive F: without a label.
set(MARIMBA_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
# Every prefix of the tests is a copy of one booted prefix kept here.
set(MARIMBA_PREFIX_TEMPLATE_ENV "MARIMBA_PREFIX_TEMPLATE=${MARIMBA_WINE_DIR}/template")
add_test(NAME wine_prefix
  COMMAND ${CMAKE_SOURCE_DIR}/tools/make-wine-prefix ${MARIMBA_WINE_DIR}/prefix
          --cdrom D=${MARIMBA_WINE_DIR}/cdrom=MUSIC --removable F=${MARIMBA_WINE_DIR}/player)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP WinePrefix
  ENVIRONMENT "${MARIMBA_PREFIX_TEMPLATE_ENV}")

marimba_wine_path(MARIMBA_SOURCE_DIR_W ${CMAKE_SOURCE_DIR})
marimba_wine_path(MARIMBA_BINARY_DIR_W ${CMAKE_BINARY_DIR})
set(MARIMBA_WINE_TEST_ENV
  "MARIMBA_WINEPREFIX=${MARIMBA_WINE_DIR}/prefix"
  "MARIMBA_CD_DRIVE=D"
  "MARIMBA_PLAYER_DRIVE=F"
  "MARIMBA_SOURCE_DIR=${MARIMBA_SOURCE_DIR_W}"
  "MARIMBA_BINARY_DIR=${MARIMBA_BINARY_DIR_W}")

# One executable (and one Wine start) per folder of tests/win32/; what the
# groups share is in tests/win32/support ("support/....h") and built into each.
file(GLOB MARIMBA_WIN32_TEST_GROUPS LIST_DIRECTORIES true CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tests/win32/*)
file(GLOB MARIMBA_WIN32_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/support/*.cpp)
foreach(group_dir ${MARIMBA_WIN32_TEST_GROUPS})
  get_filename_component(group ${group_dir} NAME)
  if(NOT IS_DIRECTORY ${group_dir} OR group STREQUAL "support")
    continue()
  endif()
  file(GLOB group_sources CONFIGURE_DEPENDS ${group_dir}/*.cpp)
  if(group STREQUAL "os")
    # The port contract tests run against the real adapters here and against
    # the fakes in the native tree.
    file(GLOB contract_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/contract/*.cpp)
    list(APPEND group_sources ${contract_sources})
  endif()
  if(NOT group_sources)
    continue()
  endif()
  set(target win32_${group}_tests)
  add_executable(${target} ${group_sources} ${MARIMBA_WIN32_TEST_SUPPORT} ${MARIMBA_RC})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests
                             ${CMAKE_SOURCE_DIR}/tests/win32)
  target_link_libraries(${target} PRIVATE marimba_win32 gtest gtest_main)
  marimba_warnings(${target})
  add_dependencies(${target} Marimba)
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED WinePrefix
    ENVIRONMENT "${MARIMBA_WINE_TEST_ENV}" TIMEOUT 300)
endforeach()

# The harness makes prefixes of every Windows version it offers.
add_executable(os_version_probe ${CMAKE_SOURCE_DIR}/tools/probes/os_version_probe.cpp)
add_test(NAME wine_versions
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check-wine-versions $<TARGET_FILE:os_version_probe>
          ${MARIMBA_WINE_DIR}/versions)
set_tests_properties(wine_versions PROPERTIES TIMEOUT 300
  ENVIRONMENT "${MARIMBA_PREFIX_TEMPLATE_ENV}")

# A probe program of tools/probes/NAME.cpp on the Win32 shell (checks and benchmarks).
function(marimba_probe name)
  add_executable(${name} ${CMAKE_SOURCE_DIR}/tools/probes/${name}.cpp)
  target_link_libraries(${name} PRIVATE marimba_win32 -municode)
  marimba_warnings(${name})
endfunction()

# Rips the disc of the first CD-ROM drive with our engine (checks and benchmarks).
marimba_probe(rip_disc)
add_test(NAME engine_rip
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check-engine-rip $<TARGET_FILE:rip_disc>
          ${MARIMBA_WINE_DIR}/engine-rip)
set_tests_properties(engine_rip PROPERTIES TIMEOUT 300
  ENVIRONMENT "${MARIMBA_PREFIX_TEMPLATE_ENV}")

# Reads one disc from its image and from a drive (tools/bench-drive).
marimba_probe(read_disc)

# ---- Demo disc in the CD-ROM drive of the test prefix ------------------
# The CD drive tests rip the short demo disc from D:. The folder keeps its
# volume label, so D: stays the CD-ROM drive MUSIC that the other tests see.
add_test(NAME wine_demo_disc
  COMMAND ${CMAKE_SOURCE_DIR}/tools/make-demo-disc --short ${MARIMBA_WINE_DIR}/cdrom)
set_tests_properties(wine_demo_disc PROPERTIES FIXTURES_REQUIRED WinePrefix
  FIXTURES_SETUP DemoDisc ENVIRONMENT "MARIMBA_TOOLS_BUILD=${CMAKE_BINARY_DIR}/tools")
if(TEST win32_cdrom_tests)
  set_tests_properties(win32_cdrom_tests PROPERTIES FIXTURES_REQUIRED "WinePrefix;DemoDisc")
endif()
# ---- end of the demo disc -----------------------------------------------

# Rips the disc and synchronises it to the player with our engine (the engine benchmark).
marimba_probe(sync_player)

# Fills a library with thousands of ripped discs (the big-library benchmark).
marimba_probe(make_library)
add_test(NAME bench_tools
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check-bench-tools $<TARGET_FILE:make_library>
          ${MARIMBA_WINE_DIR}/bench-tools)
set_tests_properties(bench_tools PROPERTIES TIMEOUT 300
  ENVIRONMENT "${MARIMBA_PREFIX_TEMPLATE_ENV}")

# The platform's plain file copy under Wine, the yardstick of the engine benchmark.
add_executable(copy_files ${CMAKE_SOURCE_DIR}/tools/probes/copy_files.cpp)
target_include_directories(copy_files PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(copy_files PRIVATE -municode)
marimba_warnings(copy_files)

# What a running program holds (working set, handles, GDI and USER objects)
# for tools/soak.
add_executable(resource_probe ${CMAKE_SOURCE_DIR}/tools/probes/resource_probe.cpp)
target_include_directories(resource_probe PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(resource_probe PRIVATE psapi -municode)
marimba_warnings(resource_probe)

# Finds the real program's windows and clicks them as a person would (the
# demo run and the scenario tests).
add_executable(marimba_driver ${CMAKE_SOURCE_DIR}/tests/e2e/marimba_driver.cpp)
target_link_libraries(marimba_driver PRIVATE comctl32 -municode)
marimba_warnings(marimba_driver)
add_dependencies(Marimba marimba_driver)

# Scenarios against the real program, each in a fresh world of its own.
foreach(scenario manual_transfer nothing_checked single_instance first_run auto_cancel model2
                 album_rename refusals space_short player_pulled disc_pulled bad_disc
                 installed_transfer drive_transfer drive_bad_block)
  add_test(NAME e2e_${scenario}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/scenario ${scenario} ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  # 77: a world that needs root for its mounts, where there is none.
  set_tests_properties(e2e_${scenario} PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77
    ENVIRONMENT "MARIMBA_TOOLS_BUILD=${CMAKE_BINARY_DIR}/tools;${MARIMBA_PREFIX_TEMPLATE_ENV}")
endforeach()

# A short fault campaign through the real program (tools/chaos): two seeds
# of three faulted transfers each, about two and a half minutes.
add_test(NAME e2e_chaos
  COMMAND bash -c "\"$0\" 3 11 && \"$0\" 3 12" ${CMAKE_SOURCE_DIR}/tools/chaos)
set_tests_properties(e2e_chaos PROPERTIES TIMEOUT 600
  ENVIRONMENT "MARIMBA_WIN_BUILD=${CMAKE_BINARY_DIR};MARIMBA_TOOLS_BUILD=${CMAKE_BINARY_DIR}/tools;${MARIMBA_PREFIX_TEMPLATE_ENV}")

# ---- Setup program ------------------------------------------------------
# tools/make-installer packs Marimba.exe and the maker libraries with NSIS;
# the check installs, starts and uninstalls it in a fresh prefix.
add_executable(install_probe ${CMAKE_SOURCE_DIR}/tools/probes/install_probe.cpp ${MARIMBA_RC})
target_link_libraries(install_probe PRIVATE marimba_win32 -municode)
marimba_warnings(install_probe)
add_test(NAME installer
  COMMAND ${CMAKE_SOURCE_DIR}/tools/check-installer ${CMAKE_BINARY_DIR}
          $<TARGET_FILE:install_probe> ${MARIMBA_WINE_DIR}/installer)
set_tests_properties(installer PROPERTIES TIMEOUT 300
  ENVIRONMENT "${MARIMBA_PREFIX_TEMPLATE_ENV}")
# ---- end of the setup program -------------------------------------------
