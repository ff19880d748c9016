# Warnings for every target of the project (not for third-party code).
function(marimba_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor> -Wimplicit-fallthrough -Wno-missing-field-initializers)
endfunction()
