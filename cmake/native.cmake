# Native tree: the portable core and its GoogleTest tests against fakes.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB_RECURSE MARIMBA_NATIVE_TEST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tests/native/*.cpp
  ${CMAKE_SOURCE_DIR}/tests/fakes/*.cpp
  ${CMAKE_SOURCE_DIR}/tests/contract/*.cpp)
add_executable(marimba_native_tests ${MARIMBA_NATIVE_TEST_SOURCES})
target_include_directories(marimba_native_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
# The tests read the string table from the sources; only they carry the checkout's path, so
# the libraries' objects stay the same from one checkout to another.
target_compile_definitions(marimba_native_tests PRIVATE
  MARIMBA_RESOURCE_DIR="${CMAKE_SOURCE_DIR}/src/resources")
target_link_libraries(marimba_native_tests PRIVATE marimba_mediaengine marimba_core GTest::gtest GTest::gtest_main)
marimba_warnings(marimba_native_tests)
gtest_discover_tests(marimba_native_tests DISCOVERY_TIMEOUT 60)
include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
