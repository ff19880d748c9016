# Fuzz harnesses of the parsers (tests/fuzz/*_fuzz.cpp), one program each.
# With MARIMBA_FUZZ=ON (clang; tools/fuzz makes build/fuzz that way) they are
# libFuzzer programs. Otherwise each is linked to a small replay main, and
# ctest replays the generated seed corpora and the saved regression inputs
# through it, with this tree's compiler and sanitizers.
option(MARIMBA_FUZZ "Link the fuzz harnesses with libFuzzer (clang only)" OFF)

set(MARIMBA_FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)
set(MARIMBA_FUZZ_SEEDS ${CMAKE_BINARY_DIR}/fuzz-seeds)
file(GLOB MARIMBA_FUZZ_HARNESSES CONFIGURE_DEPENDS ${MARIMBA_FUZZ_DIR}/*_fuzz.cpp)

add_library(marimba_fuzz_support STATIC ${CMAKE_SOURCE_DIR}/tests/fakes/fake_file_system.cpp)
target_include_directories(marimba_fuzz_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
# Only the folders the harnesses read with, so the fuzzing tree builds no more than they need.
target_link_libraries(marimba_fuzz_support PUBLIC mediaengine_disc mediaengine_codec
  mediaengine_library mediaengine_devices marimba_device marimba_os)

if(NOT MARIMBA_FUZZ)
  add_library(marimba_fuzz_replay STATIC ${MARIMBA_FUZZ_DIR}/replay_main.cpp)
  target_include_directories(marimba_fuzz_replay PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()

add_executable(fuzz_seeds ${MARIMBA_FUZZ_DIR}/make_seeds.cpp)
target_link_libraries(fuzz_seeds PRIVATE marimba_fuzz_support)
marimba_warnings(fuzz_seeds)
add_custom_target(marimba_fuzzers DEPENDS fuzz_seeds)

add_test(NAME fuzz_seeds COMMAND fuzz_seeds ${MARIMBA_FUZZ_SEEDS})
set_tests_properties(fuzz_seeds PROPERTIES FIXTURES_SETUP FuzzSeeds)

foreach(harness ${MARIMBA_FUZZ_HARNESSES})
  get_filename_component(target ${harness} NAME_WE)  # cue_sheet_fuzz
  string(REGEX REPLACE "_fuzz$" "" name ${target})      # cue_sheet
  add_executable(${target} ${harness})
  target_link_libraries(${target} PRIVATE marimba_fuzz_support)
  marimba_warnings(${target})
  if(MARIMBA_FUZZ)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  else()
    target_link_libraries(${target} PRIVATE marimba_fuzz_replay)
  endif()
  add_dependencies(marimba_fuzzers ${target})
  add_test(NAME fuzz_replay_${name}
           COMMAND ${target} ${MARIMBA_FUZZ_SEEDS}/${name} ${MARIMBA_FUZZ_DIR}/regressions/${name})
  set_tests_properties(fuzz_replay_${name} PROPERTIES FIXTURES_REQUIRED FuzzSeeds)
endforeach()
