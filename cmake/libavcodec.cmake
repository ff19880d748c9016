# libavcodec (the wmav2 encoder) and libavutil as the target marimba_libavcodec:
# Debian's libavcodec-dev in the native tree; in the MinGW tree DLLs built
# from the same Debian source, made once into the build tree by
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
  file(GLOB MARIMBA_LIBAVCODEC_DLLS ${MARIMBA_LIBAVCODEC_DIR}/bin/avcodec-*.dll
    ${MARIMBA_LIBAVCODEC_DIR}/bin/avutil-*.dll)
  set(delay_libs ${MARIMBA_LIBAVCODEC_DIR}/lib/libavcodec.delay.a
    ${MARIMBA_LIBAVCODEC_DIR}/lib/libavutil.delay.a)
  list(LENGTH MARIMBA_LIBAVCODEC_DLLS dll_count)
  if(NOT MARIMBA_LIBAVCODEC_INCLUDE OR NOT dll_count EQUAL 2
     OR NOT EXISTS ${MARIMBA_LIBAVCODEC_DIR}/lib/libavcodec.delay.a
     OR NOT EXISTS ${MARIMBA_LIBAVCODEC_DIR}/lib/libavutil.delay.a)
    message(FATAL_ERROR "libavcodec DLLs not found in ${MARIMBA_LIBAVCODEC_DIR}")
  endif()
  target_include_directories(marimba_libavcodec SYSTEM INTERFACE ${MARIMBA_LIBAVCODEC_INCLUDE})
  # Loaded on first use, so that the program starts without them and says
  # what is missing (mediaengine/win32/codec_libraries.h).
  target_link_libraries(marimba_libavcodec INTERFACE ${delay_libs} delayimp)
  # Beside Marimba.exe and the test programs, where Windows looks first.
  file(COPY ${MARIMBA_LIBAVCODEC_DLLS} DESTINATION ${CMAKE_BINARY_DIR})
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MARIMBA_AV REQUIRED IMPORTED_TARGET libavcodec libavutil)
  target_link_libraries(marimba_libavcodec INTERFACE PkgConfig::MARIMBA_AV)
endif()
