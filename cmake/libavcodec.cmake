# libavcodec (the wmav2 encoder) and libavutil as the target marimba_libavcodec:
# Debian's libavcodec-dev in the native tree; in the MinGW tree a static build
# of the same Debian source, made once into the build tree by
# tools/build-libavcodec-mingw (which returns at once when it is up to date).
add_library(marimba_libavcodec INTERFACE)
if(WIN32)
  set(MARIMBA_LIBAVCODEC_DIR ${CMAKE_BINARY_DIR}/third_party/libavcodec)
  execute_process(
    COMMAND ${CMAKE_SOURCE_DIR}/tools/build-libavcodec-mingw ${MARIMBA_LIBAVCODEC_DIR}
    RESULT_VARIABLE built)
  if(NOT built EQUAL 0)
    message(FATAL_ERROR "libavcodec for MinGW-w64 could not be built (see above)")
  endif()
  find_path(MARIMBA_LIBAVCODEC_INCLUDE libavcodec/avcodec.h
    PATHS ${MARIMBA_LIBAVCODEC_DIR}/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(MARIMBA_LIBAVCODEC_LIB libavcodec.a
    PATHS ${MARIMBA_LIBAVCODEC_DIR}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(MARIMBA_LIBAVUTIL_LIB libavutil.a
    PATHS ${MARIMBA_LIBAVCODEC_DIR}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT MARIMBA_LIBAVCODEC_INCLUDE OR NOT MARIMBA_LIBAVCODEC_LIB OR NOT MARIMBA_LIBAVUTIL_LIB)
    message(FATAL_ERROR "libavcodec not found in ${MARIMBA_LIBAVCODEC_DIR}")
  endif()
  target_include_directories(marimba_libavcodec SYSTEM INTERFACE ${MARIMBA_LIBAVCODEC_INCLUDE})
  target_link_libraries(marimba_libavcodec INTERFACE
    ${MARIMBA_LIBAVCODEC_LIB} ${MARIMBA_LIBAVUTIL_LIB})
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MARIMBA_AV REQUIRED IMPORTED_TARGET libavcodec libavutil)
  target_link_libraries(marimba_libavcodec INTERFACE PkgConfig::MARIMBA_AV)
endif()
